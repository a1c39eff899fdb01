#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedLabeledEntity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../values/Value.h"
#include "Registry.h"

namespace tnUI {

class Application;
class DocumentInstance;

/// One document of the application. The application holds the document from
/// its construction until its last instance goes; the document holds its
/// instances and its own values. Values not found here are looked up in the
/// application.
class TNUI_EXPORT Document : public NamedLabeledEntity {
public:
    /// NullError for a null app; otherwise the document registers itself with
    /// app, which holds it from then on.
    explicit Document(Application* app);
    ~Document() override;

    /// The application; null once it has died.
    Application* getApplication() const noexcept { return m_application; }

    /// The number of instances.
    int getNumInstances() const noexcept { return static_cast<int>(m_instances.size()); }
    /// IndexError unless 0 <= i < getNumInstances().
    DocumentInstance* getInstance(int i) const;
    /// The index of p, or -1.
    int findInstance(const DocumentInstance* p) const;
    /// Lets go of p; when no instance is left the application lets go of this
    /// document. False when p is not an instance of this document.
    bool removeInstance(const DocumentInstance* p);

    /// Stores v under its name with a reference. NullError for a null or
    /// nameless value, DuplicateError for a name already used here.
    void addValue(Value* v);
    /// This document's value named name; without one, the application's when
    /// searchParent is true, otherwise null.
    Value* getValue(const tnString::CString& name, bool searchParent) const;
    /// The number of values.
    int getNumValues() const noexcept { return static_cast<int>(m_values.size()); }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class DocumentInstance;
    friend class DocumentValueIterator;

    void addInstance(DocumentInstance* p);

    WatchedPointer<Application> m_application;
    tn::vector<tn::Reference<DocumentInstance>> m_instances;
    NameTable<Value> m_values;
};

/// Walks a document's own values, in the table's order. It must not outlive a
/// change of the table.
class TNUI_EXPORT DocumentValueIterator : public RegistryIterator<Value> {
public:
    /// NullError for a null document.
    explicit DocumentValueIterator(const Document* document);
};

} // namespace tnUI
