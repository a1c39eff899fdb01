#pragma once

#include "../foundation/Export.h"

#include "../entity/DecoratedEntity.h"
#include "../entity/Name.h"
#include "../foundation/CString.h"
#include "../foundation/ReferenceCount.h"
#include "../values/NumericValue.h"
#include "CommandClass.h"

namespace tnUI {

class CallInfo;
class CommandInstance;

/// The application-wide description of one command: its name, label, tooltip,
/// help reference and icons, the class it belongs to, the condition under
/// which it is enabled, and its behaviour. The host derives its commands from
/// MomentaryCommandDefn (one-shot actions) and ContinuousCommandDefn (tools).
///
/// The class is a forwarding member: its messages are passed on as "Forward".
/// The enabled expression is watched: its messages are resent as
/// "Appearance", so every listener of the command's instances hears when the
/// enabled condition may have changed. Neither setter sends a message of its
/// own.
class TNUI_EXPORT CommandDefn : public DecoratedEntity {
public:
    /// The class.
    CommandClass* getClass() noexcept { return m_class.get(); }
    /// The class.
    const CommandClass* getClass() const noexcept { return m_class.get(); }
    /// Null clears the class.
    void setClass(CommandClass* c);

    /// The enabled expression.
    NumericValue* getEnabledExpression() noexcept { return m_enabledExpression.get(); }
    /// The enabled expression.
    const NumericValue* getEnabledExpression() const noexcept { return m_enabledExpression.get(); }
    /// Null clears the expression.
    void setEnabledExpression(NumericValue* e);
    /// Installs the condition createCondition() builds, if it builds one. A
    /// host calls it once the values its condition depends on exist.
    void setCommandEnabledCondition();

    /// True without an enabled expression, otherwise the expression's truth.
    bool getEnabled() const;
    /// A tool is a continuous command.
    bool isTool() const;

    /// Whether it is momentary.
    virtual bool isMomentary() const;
    /// Whether it is continuous.
    virtual bool isContinuous() const;
    /// A transient tool, or a momentary command.
    virtual bool actsLikeMomentary() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    /// No name, class or enabled expression.
    CommandDefn() = default;
    /// Named n: NullError for a null or empty name, ImplError for a
    /// MutableName.
    explicit CommandDefn(const Name* n);
    /// Named with a new Name of text t: NullError for an empty text.
    explicit CommandDefn(const tnString::CString& t);

    /// The enabled condition a host's command builds; none here.
    virtual tn::Reference<NumericValue> createCondition();

private:
    void enabledChanged(Message& m);

    tn::Reference<CommandClass> m_class;
    tn::Reference<NumericValue> m_enabledExpression;
};

/// A one-shot command: the controller calls execute once per selection.
///
/// A force command is a continuous command that is selected (without being
/// started) before this command executes when it is not the current tool; it
/// is a forwarding member. doesStateChange tells whether executing disturbs
/// the current tool: when true the tool is stopped and started again around
/// the execution and the command's class is in force while it runs.
class TNUI_EXPORT MomentaryCommandDefn : public CommandDefn {
public:
    MomentaryCommandDefn();
    /// A command named n.
    explicit MomentaryCommandDefn(const Name* n);
    /// A command named t.
    explicit MomentaryCommandDefn(const tnString::CString& t);
    ~MomentaryCommandDefn() override;

    /// Whether the command changes state.
    bool getDoesStateChange() const noexcept { return m_doesStateChange; }
    /// Sets whether the command changes state.
    void setDoesStateChange(bool doesStateChange) noexcept { m_doesStateChange = doesStateChange; }

    /// The force command.
    CommandInstance* getForceCommand() const noexcept { return m_forceCommand.get(); }
    /// NullError for null; ImplError for a command that acts like a momentary
    /// one (a momentary command, or a transient tool).
    void setForceCommand(CommandInstance* ci);

    /// Whether it is momentary.
    bool isMomentary() const override;
    bool actsLikeMomentary() const override;

    /// The action; nothing here.
    virtual void execute(CallInfo& call);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<CommandInstance> m_forceCommand;
    bool m_doesStateChange = true;
};

/// A momentary command that does nothing, for trial set-ups and examples.
class TNUI_EXPORT TestCommandDefn : public MomentaryCommandDefn {
public:
    /// A command named t.
    explicit TestCommandDefn(const tnString::CString& t);
};

} // namespace tnUI
