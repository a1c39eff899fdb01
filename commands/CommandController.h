#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../entity/WatchedPointer.h"
#include "../foundation/Event.h"
#include "../foundation/ReferenceCount.h"
#include "../foundation/Signal.h"
#include "CallInfo.h"
#include "CommandClass.h"

#include <cstdint>

namespace tnUI {

class CommandInstance;
class ContinuousCommandDefn;
class DocumentInstance;
class MomentaryCommandDefn;
class Window;

/// The input loop for commands of one document instance (or, without one, of
/// the application). It selects commands on request, keeps the current tool
/// (continuous command), the previous one and the command class in force,
/// runs momentary commands around the current tool, and hands every input
/// event of its document to the current tool.
///
/// Every call into a command is bracketed by client notices on
/// clientCallSignal: (type, call, true) before and (type, call, false) after;
/// a whole select is bracketed the same way as SelectCommand.
/// commandClassSignal tells when a class stops (false) or starts (true) being
/// the class in force. Nothing in the library listens to either: they are the
/// host's.
///
/// The controller holds the call records of the current, previous and
/// executing commands. It watches the current one: when the current tool's
/// command instance dies, the controller forgets it without calling into it.
///
/// Commands and listeners may call the controller from within any call. A
/// switch of tool (a select, or the current tool's end notice) made from
/// within a switch in progress supersedes the rest of it. A tool that is being
/// switched away from is not heard when it announces its end, gets no events
/// and is not started again. A tool's mark changes right before its start or
/// stop call, so neither call is ever nested in itself; and a call whose
/// "before" notice saw the tool switched, stopped or started meanwhile is not
/// made (its two notices still are).
class TNUI_EXPORT CommandController : public Entity {
public:
    /// The calls into commands; enumName gives the texts.
    enum CallType : int {
        SelectCommand = 0,
        Execute = 1,
        Selected = 2,
        NewInteraction = 3,
        Unselected = 4,
        Start = 5,
        Stop = 6,
        KeyEvent = 7,
        MouseEvent = 8,
        WheelEvent = 9,
        TabletEvent = 10,
    };

    /// Emitted before (true) and after (false) each call into a command.
    tnRTB::Signal<CallType, CallInfo&, bool> clientCallSignal;
    /// Emitted when a command class stops (false) and starts (true) being current.
    tnRTB::Signal<CommandClass*, bool> commandClassSignal;

    /// Idle, for d (null for the application's controller). The document
    /// instance is not counted; the controller forgets it when it dies.
    explicit CommandController(DocumentInstance* d);
    ~CommandController() override;

    /// Selects ci in window w: a tool becomes the current tool, a momentary
    /// command runs, null deselects the current tool. A disabled ci is refused
    /// with a CommandError line on the error channel and nothing else.
    /// ImplError, before anything happens, for a command that is neither
    /// momentary nor continuous, or a momentary command whose force command
    /// is not a tool.
    void select(Window* w, CommandInstance* ci);

    /// Hand an event to the current tool. The mouse and tablet forms may
    /// rewrite the caller's event: after a momentary command interrupted a
    /// drag, the rest of the drag arrives as plain motions until the next
    /// press.
    void forwardEvent(tnUI::KeyEvent& e);
    /// The same for mouse, wheel and tablet events.
    void forwardEvent(tnUI::MouseEvent& e);
    /// See forwardEvent(tnUI::MouseEvent&).
    void forwardEvent(tnUI::WheelEvent& e);
    /// See forwardEvent(tnUI::MouseEvent&).
    void forwardEvent(tnUI::TabletEvent& e);

    /// The executing momentary command's call while one runs, otherwise the
    /// current tool's; may be null.
    CallInfo* getCurrentCallInfo() const noexcept;
    /// The current command.
    CommandInstance* getCurrentCommand() const noexcept;
    /// The current continuous command.
    CommandInstance* getCurrentContinuousCommand() const noexcept;
    /// The previous continuous command.
    CommandInstance* getPreviousContinuousCommand() const noexcept;
    /// The current class.
    CommandClass* getCurrentClass() const noexcept { return m_currentClass.get(); }
    /// The document instance.
    DocumentInstance* getDocumentInstance() const noexcept { return m_documentInstance; }

    /// A call into a command, or a select, is in progress.
    bool isClientCallActive() const noexcept { return m_clientCallDepth > 0; }

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    /// The client notices around one call.
    void _noticeBefore(CallType t, CallInfo& call);
    void _noticeAfter(CallType t, CallInfo& call);

    void _selectContinuous(CallInfo* c, bool start);
    void _selectMomentary(CallInfo& c, MomentaryCommandDefn& m);
    void _invokeMomentary(CallInfo& c, MomentaryCommandDefn& m, bool withClass);
    void _invokeSelected(CallInfo& c);
    void _invokeNewInteraction(CallInfo& c, bool isNew);
    void _invokeUnselected(CallInfo& c);
    void _invokeStart(CallInfo* c);
    void _invokeStop(CallInfo& c);
    /// Puts the class of command (or none) in force; false when a change made
    /// meanwhile, from within a class's calls, took over.
    bool _changeClass(CallInfo* c, CommandInstance* command);
    /// Makes c the watched current call (null: none), without listening to
    /// its end.
    void _setActive(CallInfo* c);
    /// Listens to the end notice of c's tool, and of nothing else.
    void _listenForEnd(CallInfo& c);
    bool _isCurrent(const CallInfo& c) const noexcept { return &c == m_continuousCall.get(); }
    /// Hands e to the current tool, bracketed by notices of type t, unless
    /// the tool is being left or does not want e.
    template <class E>
    void _forward(CallType t, E& e);

    void activeModified(Message& m);
    void activeFinished(ContinuousCommandDefn* d);

    WatchedPointer<DocumentInstance> m_documentInstance;
    tn::Reference<CallInfo> m_continuousCall;
    tn::Reference<CallInfo> m_momentaryCall;
    tn::Reference<CallInfo> m_previousCall;
    tn::Reference<CommandClass> m_currentClass;
    bool m_lastMouseHeld = false;
    bool m_lastTabletHeld = false;
    tnUI::MouseEvent m_lastMouseEvent;
    tnUI::TabletEvent m_lastTabletEvent;
    bool m_mouseRewritePending = false;
    bool m_tabletRewritePending = false;
    std::int32_t m_clientCallDepth = 0;
    /// Counts the tool switches and the class changes begun, so that one in
    /// progress can tell that a later one took over.
    std::uint32_t m_switches = 0;
    std::uint32_t m_classChanges = 0;
    /// The current tool has been told it is selected and not yet that it is
    /// unselected.
    bool m_toolSelected = false;
    /// The call of the tool being switched away from, while it is.
    CallInfo* m_leaving = nullptr;
    /// The class in force has been told so (classSelected).
    bool m_classSelected = false;
    /// The connection to the current tool's end notice, the only one made
    /// with it, so that it can be cut even after the tool's definition died.
    tnRTB::SignalClient m_finishedClient;
};

/// "SelectCommand", "Execute", "Selected", "NewInteraction", "Unselected",
/// "Start", "Stop", "KeyEvent", "MouseEvent", "WheelEvent", "TabletEvent";
/// other values raise ImplError.
TNUI_EXPORT const char* enumName(CommandController::CallType t);

} // namespace tnUI
