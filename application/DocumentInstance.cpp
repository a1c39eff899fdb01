#include "DocumentInstance.h"

#include "../commands/CallInfo.h"
#include "../commands/CommandController.h"
#include "../commands/CommandDefn.h"
#include "../commands/CommandInstance.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../menus/CommandGroup.h"
#include "../values/BoolValue.h"
#include "Application.h"
#include "Document.h"
#include "DocumentWindow.h"
#include "Environment.h"

#include <utility>

namespace tnUI {

namespace {

// The momentary command that switches one document instance to one
// environment. Neither is counted; each is forgotten when it dies, after
// which executing the command does nothing.
class EnvironmentCommand : public MomentaryCommandDefn {
public:
    EnvironmentCommand(Name* name, DocumentInstance* instance, Environment* environment)
        : MomentaryCommandDefn(name), m_instance(instance), m_environment(environment)
    {}

    void execute(CallInfo& call) override
    {
        (void)call;
        if (m_instance && m_environment)
            m_instance->setEnvironment(m_environment);
    }

private:
    WatchedPointer<DocumentInstance> m_instance;
    WatchedPointer<Environment> m_environment;
};

} // namespace

DocumentInstance::DocumentInstance(Document* d)
{
    if (!d)
        throw NullError();
    // The document holds this instance, but a host may hold it longer.
    m_document = d;
    d->addInstance(this);
    m_controller = new CommandController(this);
    const Application* application = d->getApplication();
    m_numEnvironments = application ? application->getNumEnvironments() : 0;
    if (m_numEnvironments > 0)
        m_environment = application->getEnvironment(0);
}

DocumentInstance::~DocumentInstance()
{
    m_documentWindow = nullptr;
    // Emptied before the values may die: their listeners see no half-cleared
    // table.
    NameTable<Value> values;
    values.swap(m_values);
    values.clear();
    m_environmentCommands = nullptr;
    m_controller = nullptr;
}

Application* DocumentInstance::getApplication() const
{
    return m_document ? m_document->getApplication() : nullptr;
}

CommandController& DocumentInstance::getCommandController() const
{
    return *m_controller;
}

DocumentWindow* DocumentInstance::getDocumentWindow() const
{
    return m_documentWindow.get();
}

void DocumentInstance::setEnvironment(Environment* e)
{
    m_environment = e;
    environmentChangedSignal.fire(e);
}

CommandGroup* DocumentInstance::getEnvironmentCommands()
{
    if (!m_environmentCommands)
        createEnvironmentCommands();
    return m_environmentCommands.get();
}

const CommandGroup* DocumentInstance::getEnvironmentCommands() const
{
    // Making the group on first use changes no observable state of the
    // instance.
    return const_cast<DocumentInstance*>(this)->getEnvironmentCommands();
}

bool DocumentInstance::shouldIncludeEnvironment(Environment* e)
{
    (void)e;
    return true;
}

void DocumentInstance::createEnvironmentCommands()
{
    m_environmentCommands = new CommandGroup;
    CommandGroup* group = m_environmentCommands.get();
    Application* application = getApplication();
    for (int i = 0; application && i < m_numEnvironments; ++i) {
        Environment* e = application->getEnvironment(i);
        if (!shouldIncludeEnvironment(e))
            continue;
        tnString::CString text;
        text.format("environmentCommand%p_%d", static_cast<void*>(this), i);
        const tn::Reference<Name> name(new Name(text));
        const tn::Reference<EnvironmentCommand> command(new EnvironmentCommand(name, this, e));
        command->setLabel(e->getLabel());
        command->setToolTip(e->getToolTip());
        command->setIcon(e->getIcon(IconState::Normal, IconMode::Default), IconState::Normal, IconMode::Default);
        group->appendItem(tn::Reference<CommandInstance>(new CommandInstance(command)));
    }
}

void DocumentInstance::addValue(Value* v)
{
    registerNamed(m_values, v);
}

bool DocumentInstance::removeValue(Value* v)
{
    const Name* name = v ? v->getName() : nullptr;
    if (!name || name->isEmpty())
        return false;
    // Looked up by a copy of the key: the stored value may hold the only
    // reference on the name. The entry goes before the value may die, so
    // that its destruction listeners see the table without it.
    const tnString::CString key = name->asString();
    const tn::Reference<Value> released = m_values.take(key);
    return released.get() != nullptr;
}

Value* DocumentInstance::getValue(const tnString::CString& name, bool searchParent) const
{
    if (Value* v = lookUpNamed(m_values, name))
        return v;
    return searchParent && m_document ? m_document->getValue(name, true) : nullptr;
}

void DocumentInstance::setActiveInstance(bool active)
{
    activeInstanceSignal.fire(this, active);
}

void DocumentInstance::associateWindow(DocumentWindow* w)
{
    m_documentWindow = w;
}

void DocumentInstance::documentWindowClosed()
{
    // Held before the notice: its listeners may let go of this instance.
    const tn::Reference<DocumentInstance> held = tn::keepAlive(this);
    activeInstanceSignal.fire(this, false);
    if (m_document)
        m_document->removeInstance(this);
    m_documentWindow = nullptr;
}

bool DocumentInstance::dump(DumpFile& file, int level, const char* label) const
{
    if (!NamedLabeledEntity::dump(file, level, label))
        return false;
    if (m_document)
        m_document->dump(file, level + 1, "document");
    m_controller->dump(file, level + 1, "controller");
    if (m_documentWindow)
        m_documentWindow->dump(file, level + 1, "document window");
    getEnvironmentCommands()->dump(file, level + 1, "environment commands");
    if (m_environment)
        m_environment->dump(file, level + 1, "current environment");
    file.printf(level + 1, "%d values\n", getNumValues());
    for (DocumentInstanceValueIterator it(this); it.valid(); it.next())
        it.get()->dump(file, level + 2, nullptr);
    return true;
}

DocumentInstanceValueIterator::DocumentInstanceValueIterator(const DocumentInstance* instance)
    : RegistryIterator(instance ? &instance->m_values : nullptr)
{}

BoolValue* registerBool(DocumentInstance* owner, const tnString::CString& name, bool initial)
{
    return registerBoolIn(owner, name, initial);
}

} // namespace tnUI
