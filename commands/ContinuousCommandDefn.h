#pragma once

#include "../foundation/Export.h"

#include "../foundation/Event.h"
#include "../foundation/Signal.h"
#include "CommandDefn.h"
#include "CommandInstanceState.h"

namespace tnUI {

class CommandController;
class ContinuousCommandState;

/// A tool: once selected it stays current in its document and receives the
/// document's input until another command is selected or it announces its end
/// with finished(). The definition is shared by all documents; by default
/// every interaction operation passes the call on to the state that the
/// call's command instance holds for the call's document instance (a
/// ContinuousCommandState), so a host puts a tool's logic either in a
/// subclass of this class or, per document, in a subclass of the state.
///
/// Flags: actsLikeMomentary marks a transient tool, never remembered as the
/// previous tool; allMotionEvents asks for every mouse and tablet event, also
/// those without a button active; compressMotionEvents is a hint for the host
/// only. No setter sends a message.
class TNUI_EXPORT ContinuousCommandDefn : public CommandDefn {
public:
    /// Emitted by finished() with this definition.
    tnRTB::Signal<ContinuousCommandDefn*> finishedSignal;

    ContinuousCommandDefn();
    /// A tool named n.
    explicit ContinuousCommandDefn(const Name* n);
    /// A tool named t.
    explicit ContinuousCommandDefn(const tnString::CString& t);
    ~ContinuousCommandDefn() override;

    /// Whether it is continuous.
    bool isContinuous() const override;
    bool actsLikeMomentary() const override;
    /// Sets the acts like momentary.
    void setActsLikeMomentary(bool actsLikeMomentary) noexcept { m_actsLikeMomentary = actsLikeMomentary; }
    /// The all motion events.
    bool getAllMotionEvents() const noexcept { return m_allMotionEvents; }
    /// Sets the all motion events.
    void setAllMotionEvents(bool allMotionEvents) noexcept { m_allMotionEvents = allMotionEvents; }
    /// The compress motion events.
    bool getCompressMotionEvents() const noexcept { return m_compressMotionEvents; }
    /// Sets the compress motion events.
    void setCompressMotionEvents(bool compress) noexcept { m_compressMotionEvents = compress; }

    /// The tool is done: every controller where it is the current tool
    /// returns to its previous tool.
    void finished();

    /// The interaction operations, called by the command controller. Each
    /// passes the call on to the state of the call; ImplError when the call
    /// has no such state (a host that attaches no states overrides all nine).
    virtual void commandSelected(CallInfo& call);
    /// isNew tells whether the command was newly selected.
    virtual void newInteraction(CallInfo& call, bool isNew);
    /// Another command was selected in its place.
    virtual void commandUnselected(CallInfo& call);
    /// The tool starts working: once selected, and again after a momentary
    /// command that changes state.
    virtual void start(CallInfo& call);
    /// The tool stops working: before another command replaces it, and
    /// before a momentary command that changes state.
    virtual void stop(CallInfo& call);
    /// An input event while the tool is current.
    virtual void handleEvent(CallInfo& call, TabletEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, WheelEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, MouseEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, KeyEvent& event);

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    friend class CommandController;

    /// The started mark of the call's state or, for calls without a state, the
    /// one mark the definition keeps for all of them.
    bool isCommandStarted(const CallInfo& call) const;
    void setCommandStarted(const CallInfo& call, bool started);

    bool m_actsLikeMomentary = false;
    bool m_allMotionEvents = false;
    bool m_compressMotionEvents = true;
    bool m_startedWithoutState = false;
};

/// A tool's state for one document instance. The nine interaction operations
/// do nothing here; a host's subclass overrides those it needs.
class TNUI_EXPORT ContinuousCommandState : public CommandInstanceState {
public:
    /// NullError when call has no document instance. Not started.
    explicit ContinuousCommandState(const CallInfo& call);
    ~ContinuousCommandState() override;

    /// The owner's definition; ImplError without an owner or when the owner's
    /// command is not continuous.
    ContinuousCommandDefn* getContinuousCommand();
    /// getContinuousCommand()->finished().
    void finished();
    /// These change the definition, so the tool in every document.
    void setAllMotionEvents(bool allMotionEvents);
    /// Sets the compress motion events.
    void setCompressMotionEvents(bool compress);
    /// The compress motion events.
    bool getCompressMotionEvents();

    /// The tool was selected.
    virtual void commandSelected(CallInfo& call);
    /// A new interaction begins; isNew tells whether the tool was newly selected.
    virtual void newInteraction(CallInfo& call, bool isNew);
    /// Another command was selected in its place.
    virtual void commandUnselected(CallInfo& call);
    /// The tool starts working: once selected, and again after a momentary
    /// command that changes state.
    virtual void start(CallInfo& call);
    /// The tool stops working: before another command replaces it, and
    /// before a momentary command that changes state.
    virtual void stop(CallInfo& call);
    /// An input event while the tool is current.
    virtual void handleEvent(CallInfo& call, TabletEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, WheelEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, MouseEvent& event);
    /// See handleEvent(CallInfo&, TabletEvent&).
    virtual void handleEvent(CallInfo& call, KeyEvent& event);

private:
    friend class ContinuousCommandDefn;

    bool isCommandStarted() const noexcept { return m_started; }
    void setCommandStarted(bool started) noexcept { m_started = started; }

    bool m_started = false;
};

} // namespace tnUI
