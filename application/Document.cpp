#include "Document.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../values/BoolValue.h"
#include "Application.h"
#include "DocumentInstance.h"

#include <algorithm>

namespace tnUI {

Document::Document(Application* app)
{
    if (!app)
        throw NullError();
    // The application holds this document, but a host may hold it longer.
    m_application = app;
    app->addDocument(this);
}

Document::~Document()
{
    // Both lists are emptied before their entries may die, so that the
    // entries' destruction listeners never see them half-cleared.
    tn::vector<tn::Reference<DocumentInstance>> instances;
    instances.swap(m_instances);
    instances.clear();
    NameTable<Value> values;
    values.swap(m_values);
}

DocumentInstance* Document::getInstance(int i) const
{
    if (i < 0 || i >= getNumInstances())
        throw IndexError();
    return m_instances[static_cast<std::size_t>(i)].get();
}

int Document::findInstance(const DocumentInstance* p) const
{
    const auto it = std::find_if(m_instances.begin(), m_instances.end(), [p](const auto& r) { return r.get() == p; });
    return it == m_instances.end() ? -1 : static_cast<int>(it - m_instances.begin());
}

bool Document::removeInstance(const DocumentInstance* p)
{
    const int i = findInstance(p);
    if (i == -1)
        return false;
    // The application's reference may be the last one, and the instance's
    // destruction listeners may let go of this document: it lives until the
    // call returns.
    const tn::Reference<Document> held = tn::keepAlive(this);
    {
        // Out of the list before the instance may die, so that its
        // destruction listeners see the list without it.
        const tn::Reference<DocumentInstance> released = m_instances[static_cast<std::size_t>(i)];
        m_instances.erase(m_instances.begin() + i);
    }
    if (m_instances.empty()) {
        const int index = m_application ? m_application->findDocument(this) : -1;
        if (index == -1)
            return false;
        m_application->removeDocument(index);
    }
    return true;
}

void Document::addInstance(DocumentInstance* p)
{
    m_instances.emplace_back(p);
}

void Document::addValue(Value* v)
{
    registerNamed(m_values, v);
}

Value* Document::getValue(const tnString::CString& name, bool searchParent) const
{
    if (Value* v = lookUpNamed(m_values, name))
        return v;
    return searchParent && m_application ? m_application->getValue(name) : nullptr;
}

bool Document::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (m_application)
        m_application->dump(file, level + 1, "application");
    file.printf(level + 1, "%d document instances\n", getNumInstances());
    for (const auto& instance : m_instances)
        instance->dump(file, level + 2, nullptr);
    file.printf(level + 1, "%d values\n", getNumValues());
    for (DocumentValueIterator it(this); it.valid(); it.next())
        it.get()->dump(file, level + 2, nullptr);
    return true;
}

DocumentValueIterator::DocumentValueIterator(const Document* document)
    : RegistryIterator(document ? &document->m_values : nullptr)
{}

BoolValue* registerBool(Document* owner, const tnString::CString& name, bool initial)
{
    return registerBoolIn(owner, name, initial);
}

} // namespace tnUI
