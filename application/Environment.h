#pragma once

#include "../foundation/Export.h"

#include "../entity/DecoratedEntity.h"
#include "../entity/Name.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/CString.h"
#include "../foundation/IString.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"

namespace tnUI {

class CommandGroup;

/// A named set of commands with an initial and a default command, which may
/// inherit the commands of a parent environment. Every document instance has
/// one environment command per environment registered with the application,
/// whose execution switches that instance to the environment.
class TNUI_EXPORT Environment : public DecoratedEntity {
public:
    /// Emitted with true when this environment becomes the application's
    /// active one, with false when it stops being it.
    tnRTB::Signal<Environment*, bool> activeEnvironmentSignal;

    /// Names the environment and its command group name; an empty label text
    /// leaves it without a label.
    Environment(const tnString::CString& name, const tnString::IString& label);
    ~Environment() override;

    /// The parent.
    Environment* getParent() const noexcept { return m_parent; }
    /// The parent's commands count as this environment's. A parent whose
    /// chain leads back to this environment raises CycleError. The parent is
    /// not counted; it is forgotten when it dies.
    void setParent(Environment* parent);

    /// Every element is a command instance.
    CommandGroup* getCommandGroup() const;

    /// True when this environment or one of its parents has a command named
    /// name.
    bool isCommandInEnvironment(const tnString::CString& name) const;

    /// Sets the initial command.
    void setInitialCommand(const tnString::CString& name);
    /// Sets the default command.
    void setDefaultCommand(const tnString::CString& name);
    /// The initial command.
    const Name* getInitialCommand() const;
    /// The default command's name, or the initial command's without one.
    const Name* getDefaultCommand() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class Application;
    void setActiveEnvironment(bool active);

    WatchedPointer<Environment> m_parent;
    tn::Reference<CommandGroup> m_commandGroup;
    tn::Reference<Name> m_defaultCommand;
    tn::Reference<Name> m_initialCommand;
};

} // namespace tnUI
