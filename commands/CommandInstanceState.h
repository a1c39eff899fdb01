#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../entity/WatchedPointer.h"
#include "CallInfo.h"

namespace tnUI {

class CommandDefn;
class CommandInstance;
class DocumentInstance;

/// What a command remembers for one document instance. A state is made for
/// the document instance of a call record and attached to a command instance
/// with CommandInstance::setInstanceState, which makes that instance its owner
/// and calls init(). The owner is cleared whenever the instance lets go of the
/// state.
///
/// Neither pointer is counted. The document instance is watched: when it dies
/// the state forgets it.
class TNUI_EXPORT CommandInstanceState : public Entity {
public:
    /// The state of call's document instance; NullError when the call has
    /// none. No owner yet.
    explicit CommandInstanceState(const CallInfo& call);
    ~CommandInstanceState() override;

    /// Called by the command instance that attaches or lets go of the state.
    void ownedBy(CommandInstance* owner) noexcept { m_owner = owner; }
    /// Called by the command instance right after attaching the state.
    virtual void init();

    /// The document instance.
    DocumentInstance* getDocumentInstance() noexcept { return m_documentInstance; }
    /// The document instance.
    const DocumentInstance* getDocumentInstance() const noexcept { return m_documentInstance; }
    /// The command instance.
    CommandInstance* getCommandInstance() noexcept { return m_owner; }
    /// The command instance.
    const CommandInstance* getCommandInstance() const noexcept { return m_owner; }
    /// The owner's definition, or null without an owner.
    CommandDefn* getCommand();
    /// The command.
    const CommandDefn* getCommand() const;

    /// A call record for this state: no pane, the document instance's document
    /// window, the document instance and the owner.
    CallInfo createCallInfo() const;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    CommandInstance* m_owner = nullptr;
    WatchedPointer<DocumentInstance> m_documentInstance;
};

} // namespace tnUI
