#include "Environment.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../entity/Label.h"
#include "../menus/CommandGroup.h"

namespace tnUI {

Environment::Environment(const tnString::CString& name, const tnString::IString& label)
{
    if (!label.isEmpty())
        setLabel(tn::Reference<const Label>(new Label(label)));
    setName(name);
    m_commandGroup = new CommandGroup;
    m_commandGroup->setName(name);
}

Environment::~Environment()
{
    m_initialCommand = nullptr;
    m_defaultCommand = nullptr;
    m_commandGroup = nullptr;
}

void Environment::setParent(Environment* parent)
{
    for (const Environment* e = parent; e; e = e->m_parent) {
        if (e == this)
            throw CycleError();
    }
    m_parent = parent;
}

CommandGroup* Environment::getCommandGroup() const
{
    return m_commandGroup.get();
}

bool Environment::isCommandInEnvironment(const tnString::CString& name) const
{
    for (const Environment* e = this; e; e = e->m_parent) {
        const CommandGroup* group = e->m_commandGroup.get();
        for (int i = 0; i < group->getNumElements(); ++i) {
            const Name* n = group->getElement(i)->getName();
            if (n && *n == name)
                return true;
        }
    }
    return false;
}

void Environment::setInitialCommand(const tnString::CString& name)
{
    m_initialCommand = new Name(name);
}

void Environment::setDefaultCommand(const tnString::CString& name)
{
    m_defaultCommand = new Name(name);
}

const Name* Environment::getInitialCommand() const
{
    return m_initialCommand.get();
}

const Name* Environment::getDefaultCommand() const
{
    return m_defaultCommand ? m_defaultCommand.get() : getInitialCommand();
}

void Environment::setActiveEnvironment(bool active)
{
    activeEnvironmentSignal.fire(this, active);
}

bool Environment::dump(DumpFile& file, int level, const char* label) const
{
    if (!DecoratedEntity::dump(file, level, label))
        return false;
    if (m_defaultCommand)
        m_defaultCommand->dump(file, level + 1, "default command");
    if (m_initialCommand)
        m_initialCommand->dump(file, level + 1, "initial command");
    return true;
}

} // namespace tnUI
