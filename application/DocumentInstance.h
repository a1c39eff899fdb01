#pragma once

#include "../foundation/Export.h"

#include "../entity/NamedLabeledEntity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/Containers.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "../values/Value.h"
#include "Registry.h"

namespace tnUI {

class Application;
class CommandController;
class CommandGroup;
class Document;
class DocumentWindow;
class Environment;

/// One instance of a document: its own command controller, current
/// environment, values and, once shown, document window. The document holds
/// the instance; the instance holds its controller, its document window and
/// its environment commands.
///
/// Values are looked up in three layers: the instance, its document, the
/// application.
class TNUI_EXPORT DocumentInstance : public NamedLabeledEntity {
public:
    /// Emitted by setEnvironment with the new environment.
    tnRTB::Signal<Environment*> environmentChangedSignal;
    /// Emitted with true when the instance becomes the application's active
    /// instance, with false when it stops being it and when its document
    /// window closes.
    tnRTB::Signal<DocumentInstance*, bool> activeInstanceSignal;

    /// NullError for a null d. Otherwise d holds the instance from now on, the
    /// instance makes its controller, and its environment is the
    /// application's first environment, if there is one.
    explicit DocumentInstance(Document* d);
    ~DocumentInstance() override;

    /// The document; null once it has died.
    Document* getDocument() const noexcept { return m_document; }
    /// The application.
    Application* getApplication() const;
    /// The command controller.
    CommandController& getCommandController() const;
    /// The document window.
    DocumentWindow* getDocumentWindow() const;

    /// The environment.
    Environment* getEnvironment() const noexcept { return m_environment; }
    /// Stores e (null allowed, no check that it changed) and emits
    /// environmentChangedSignal with it. The environment is not counted and is
    /// forgotten when it dies.
    void setEnvironment(Environment* e);

    /// One momentary command per environment registered with the application
    /// when this instance was made and accepted by shouldIncludeEnvironment;
    /// executing one switches this instance to its environment. The group is
    /// made on first use, so that a derived class's shouldIncludeEnvironment is
    /// the one asked.
    CommandGroup* getEnvironmentCommands();
    /// The environment commands.
    const CommandGroup* getEnvironmentCommands() const;
    /// Whether e gets an environment command in this instance; true here.
    virtual bool shouldIncludeEnvironment(Environment* e);

    /// As Document::addValue, within this instance's own values.
    void addValue(Value* v);
    /// Removes the value stored under v's name, whichever it is. False for a
    /// null or nameless v or when no value has that name.
    bool removeValue(Value* v);
    /// This instance's value named name; without one, the document's lookup
    /// (which goes on to the application) when searchParent is true, otherwise
    /// null.
    Value* getValue(const tnString::CString& name, bool searchParent) const;
    /// The number of values.
    int getNumValues() const noexcept { return static_cast<int>(m_values.size()); }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class Application;
    friend class DocumentWindow;
    friend class DocumentInstanceValueIterator;

    void setActiveInstance(bool active);
    void associateWindow(DocumentWindow* w);
    /// The document window's widget is gone: this instance stops being active,
    /// leaves its document and lets go of the window, and usually dies.
    void documentWindowClosed();
    void createEnvironmentCommands();

    WatchedPointer<Document> m_document;
    tn::Reference<CommandController> m_controller;
    tn::Reference<DocumentWindow> m_documentWindow;
    tn::Reference<CommandGroup> m_environmentCommands;
    WatchedPointer<Environment> m_environment;
    NameTable<Value> m_values;
    /// How many of the application's environments existed when this instance
    /// was made: the ones its environment commands are made from.
    int m_numEnvironments = 0;
};

/// Walks an instance's own values, in the table's order. It must not outlive a
/// change of the table.
class TNUI_EXPORT DocumentInstanceValueIterator : public RegistryIterator<Value> {
public:
    /// NullError for a null instance.
    explicit DocumentInstanceValueIterator(const DocumentInstance* instance);
};

} // namespace tnUI
