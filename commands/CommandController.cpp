#include "CommandController.h"

#include "../application/DocumentInstance.h"
#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "CommandDefn.h"
#include "CommandInstance.h"
#include "ContinuousCommandDefn.h"

namespace tnUI {

namespace {

// The tool of a call record, or null when the call names no continuous
// command (or no command at all).
ContinuousCommandDefn* toolOf(const CallInfo* c)
{
    CommandInstance* ci = c ? c->getCommandInstance() : nullptr;
    return ci ? ci->asContinuous() : nullptr;
}

// The static analyzer does not follow reference counts: when the controller
// lets go of an object that a Pin still holds, it takes that release for the
// last one. The sanitizer build runs these paths, the unusual destruction
// orders of the tests included.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDelete)

// Holds one reference on an object for the length of a scope, so that it
// outlives the calls made meanwhile: a command or a listener may make the
// controller let go of a call record, or release the controller itself (by
// closing its document, say). Only objects that somebody counts are held; one
// that nobody counts is left alone, as its owner manages it.
template <class T>
class Pin {
public:
    explicit Pin(T* p) noexcept : m_object(p), m_held(p && p->getRefCount() > 0)
    {
        if (m_held)
            m_object->ref();
    }
    ~Pin()
    {
        if (m_held)
            m_object->unref();
    }
    Pin(const Pin&) = delete;
    Pin& operator=(const Pin&) = delete;

    T* get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    T& operator*() const noexcept { return *m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

private:
    T* m_object;
    bool m_held;
};

} // namespace

CommandController::CommandController(DocumentInstance* d) : m_documentInstance(d)
{}

CommandController::~CommandController()
{
    // No call into a command: the calls are only let go.
    if (m_continuousCall)
        m_continuousCall->messageSignal.disconnectInstance(this);
}

CallInfo* CommandController::getCurrentCallInfo() const noexcept
{
    return m_momentaryCall ? m_momentaryCall.get() : m_continuousCall.get();
}

CommandInstance* CommandController::getCurrentCommand() const noexcept
{
    const CallInfo* c = getCurrentCallInfo();
    return c ? c->getCommandInstance() : nullptr;
}

CommandInstance* CommandController::getCurrentContinuousCommand() const noexcept
{
    return m_continuousCall ? m_continuousCall->getCommandInstance() : nullptr;
}

CommandInstance* CommandController::getPreviousContinuousCommand() const noexcept
{
    return m_previousCall ? m_previousCall->getCommandInstance() : nullptr;
}

void CommandController::_noticeBefore(CallType t, CallInfo& call)
{
    ++m_clientCallDepth;
    clientCallSignal.fire(t, call, true);
}

void CommandController::_noticeAfter(CallType t, CallInfo& call)
{
    --m_clientCallDepth;
    clientCallSignal.fire(t, call, false);
}

void CommandController::select(Window* w, CommandInstance* ci)
{
    if (ci && !ci->getEnabled()) {
        appout().error("CommandError: Attempt to select a disabled command: %s\n", ci->nameAsChar());
        return;
    }
    MomentaryCommandDefn* momentary = ci ? ci->asMomentary() : nullptr;
    if (ci && !momentary && !ci->asContinuous())
        throw ImplError();
    if (momentary) {
        const CommandInstance* force = momentary->getForceCommand();
        if (force && !force->asContinuous())
            throw ImplError();
    }

    const Pin<const CommandController> alive(this);
    const tn::Reference<CallInfo> c(new CallInfo(nullptr, w, m_documentInstance, ci));
    // Held while it runs: its instance may die meanwhile.
    const Pin<MomentaryCommandDefn> heldMomentary(momentary);
    _noticeBefore(SelectCommand, *c);
    if (!ci)
        _selectContinuous(nullptr, true);
    else if (momentary)
        _selectMomentary(*c, *momentary);
    else
        _selectContinuous(c.get(), true);
    _noticeAfter(SelectCommand, *c);
}

void CommandController::_selectContinuous(CallInfo* c, bool start)
{
    const std::uint32_t switchNumber = ++m_switches;
    // A switch made from within one of the calls below has left the
    // controller complete: the rest of this one is dropped.
    const auto superseded = [this, switchNumber] { return m_switches != switchNumber; };
    const Pin<CallInfo> old(m_continuousCall.get());
    const Pin<CallInfo> held(c);
    if (old) {
        const bool same = old->isSameCommandInstance(c);
        // Leaving: its end no longer concerns this controller, and it is
        // neither started again nor given events until it is gone.
        if (!same)
            m_finishedClient.disconnectAll();
        CallInfo* const wasLeaving = m_leaving;
        m_leaving = old.get();
        _invokeStop(*old);
        if (!superseded() && !same)
            _invokeUnselected(*old);
        m_leaving = wasLeaving;
        if (superseded())
            return;
        if (!old->actsLikeMomentary())
            m_previousCall = old.get();
        // A tool selected again stays the current one, still selected, until
        // its new call takes over.
        if (!same)
            _setActive(nullptr);
    }
    // A class change overtaken from within a class's calls is made again,
    // unless a switch took over meanwhile; the command instance is asked
    // anew each time, as it may have died.
    while (!_changeClass(c, c ? c->getCommandInstance() : nullptr)) {
        if (superseded())
            return;
    }
    if (superseded() || !c || !c->getCommandInstance())
        return;
    _setActive(c);
    const bool isNew = !old || !old->isSameCommandInstance(c) || !m_toolSelected;
    if (isNew) {
        _invokeSelected(*c);
        if (superseded())
            return;
    }
    _listenForEnd(*c);
    _invokeNewInteraction(*c, isNew);
    if (!superseded() && start)
        _invokeStart(c);
}

void CommandController::_selectMomentary(CallInfo& c, MomentaryCommandDefn& m)
{
    // The interrupted drag ends for the current tool, and the rest of it is
    // rewritten into plain motions.
    if (m_lastMouseHeld) {
        const tnUI::MouseEvent& last = m_lastMouseEvent;
        tnUI::MouseEvent end(last.getLocalXY(), last.getWindowXY(), last.getScreenXY(), tnUI::MouseEvent::ButtonUp, 0,
                             0, 0);
        forwardEvent(end);
        m_mouseRewritePending = true;
    }
    if (m_lastTabletHeld) {
        const tnUI::TabletEvent& last = m_lastTabletEvent;
        tnUI::TabletEvent end(tnUI::TabletEvent::Release, last.getDevice(), last.getPointerType(), last.getLocalXY(),
                              last.getWindowXY(), last.getScreenXY(), last.getTilt(), last.getPressure(),
                              last.getRotation(), false, 0, 0);
        forwardEvent(end);
        m_tabletRewritePending = true;
    }

    const bool stateChange = m.getDoesStateChange();
    CommandInstance* force = m.getForceCommand();
    if (force && (!m_continuousCall || m_continuousCall->getCommandInstance() != force)) {
        const tn::Reference<CallInfo> forced(
            new CallInfo(c.getWindowPane(), c.getWindow(), c.getDocumentInstance(), force));
        _selectContinuous(forced.get(), false);
        _invokeMomentary(c, m, true);
        _invokeStart(m_continuousCall.get());
        return;
    }
    if (m_continuousCall) {
        // Held here: the calls below replace the controller's references.
        const Pin<CallInfo> previous(m_previousCall.get());
        const Pin<CallInfo> current(m_continuousCall.get());
        if (current->actsLikeMomentary())
            _selectContinuous(previous.get(), false);
        else if (stateChange)
            _invokeStop(*current);
    }
    _invokeMomentary(c, m, stateChange);
    if (stateChange)
        _invokeStart(m_continuousCall.get());
}

void CommandController::_invokeMomentary(CallInfo& c, MomentaryCommandDefn& m, bool withClass)
{
    // A momentary command run from within another's execution gives the
    // current call back to it afterwards.
    const Pin<CallInfo> outer(m_momentaryCall.get());
    m_momentaryCall = &c;
    if (withClass)
        _changeClass(&c, c.getCommandInstance());
    _noticeBefore(Execute, c);
    m.execute(c);
    _noticeAfter(Execute, c);
    m_momentaryCall = outer.get();
    if (withClass)
        _changeClass(&c, getCurrentContinuousCommand());
}

// Each call into a tool is made only if, once the host has heard the
// "before" notice, the call is still the current one and the tool's marks
// still ask for it: a listener may have switched tools meanwhile. The marks
// change right before the call, so that the call is never repeated from
// within itself.

void CommandController::_invokeSelected(CallInfo& c)
{
    const Pin<ContinuousCommandDefn> d(toolOf(&c));
    if (!d)
        return;
    _noticeBefore(Selected, c);
    if (_isCurrent(c) && !m_toolSelected) {
        d->setCommandStarted(c, false);
        m_toolSelected = true;
        d->commandSelected(c);
    }
    _noticeAfter(Selected, c);
}

void CommandController::_listenForEnd(CallInfo& c)
{
    m_finishedClient.disconnectAll();
    if (ContinuousCommandDefn* d = toolOf(&c))
        tnRTB::connect(d->finishedSignal, &m_finishedClient,
                       [this](ContinuousCommandDefn* tool) { activeFinished(tool); });
}

void CommandController::_invokeNewInteraction(CallInfo& c, bool isNew)
{
    const Pin<ContinuousCommandDefn> d(toolOf(&c));
    if (!d)
        return;
    _noticeBefore(NewInteraction, c);
    if (_isCurrent(c))
        d->newInteraction(c, isNew);
    _noticeAfter(NewInteraction, c);
}

void CommandController::_invokeUnselected(CallInfo& c)
{
    if (!m_toolSelected)
        return;
    const Pin<ContinuousCommandDefn> d(toolOf(&c));
    if (!d)
        return;
    _noticeBefore(Unselected, c);
    if (_isCurrent(c) && m_toolSelected) {
        m_toolSelected = false;
        m_finishedClient.disconnectAll();
        d->commandUnselected(c);
    }
    _noticeAfter(Unselected, c);
}

void CommandController::_invokeStart(CallInfo* c)
{
    const Pin<CallInfo> held(c);
    const Pin<ContinuousCommandDefn> d(toolOf(c));
    // Only a tool told that it is selected is started.
    const auto wanted = [this, c, &d] {
        return _isCurrent(*c) && m_toolSelected && c != m_leaving && !d->isCommandStarted(*c);
    };
    if (!d || !wanted())
        return;
    _noticeBefore(Start, *c);
    if (wanted()) {
        d->setCommandStarted(*c, true);
        d->start(*c);
    }
    _noticeAfter(Start, *c);
}

void CommandController::_invokeStop(CallInfo& c)
{
    const Pin<CallInfo> held(&c);
    const Pin<ContinuousCommandDefn> d(toolOf(&c));
    if (!d || !d->isCommandStarted(c))
        return;
    _noticeBefore(Stop, c);
    if (_isCurrent(c) && d->isCommandStarted(c)) {
        d->setCommandStarted(c, false);
        d->stop(c);
    }
    _noticeAfter(Stop, c);
}

bool CommandController::_changeClass(CallInfo* c, CommandInstance* command)
{
    const std::uint32_t changeNumber = ++m_classChanges;
    const auto overtaken = [this, changeNumber] { return m_classChanges != changeNumber; };
    CommandClass* next = command ? command->getCommand()->getClass() : nullptr;
    if (next == m_currentClass.get())
        return true;
    const Pin<CommandClass> old(m_currentClass.get());
    const Pin<CommandClass> held(next);
    const Pin<CallInfo> call(c);
    // Out of force before it hears so: a change made from within its calls
    // starts from no class, and only a class told that it was selected is
    // told that it no longer is.
    const bool oldSelected = m_classSelected;
    m_currentClass = nullptr;
    m_classSelected = false;
    if (old) {
        commandClassSignal.fire(old.get(), false);
        if (overtaken())
            return false;
        if (oldSelected) {
            if (c) {
                old->classUnselected(c);
            } else {
                const tn::Reference<CallInfo> bare(new CallInfo(nullptr, nullptr, m_documentInstance, nullptr));
                old->classUnselected(bare.get());
            }
            if (overtaken())
                return false;
        }
    }
    m_currentClass = next;
    if (next) {
        commandClassSignal.fire(next, true);
        if (overtaken())
            return false;
        m_classSelected = true;
        next->classSelected(c);
    }
    return !overtaken();
}

void CommandController::_setActive(CallInfo* c)
{
    if (m_continuousCall)
        m_continuousCall->messageSignal.disconnectInstance(this);
    m_finishedClient.disconnectAll();
    m_continuousCall = c;
    if (c)
        tnRTB::connect(c->messageSignal, this, &CommandController::activeModified);
}

void CommandController::activeModified(Message& m)
{
    (void)m;
    if (!m_continuousCall || m_continuousCall->getCommandInstance())
        return;
    // The current tool's command instance died: it is forgotten without a
    // call, and its end notice no longer concerns this controller.
    _setActive(nullptr);
    m_toolSelected = false;
}

void CommandController::activeFinished(ContinuousCommandDefn* d)
{
    // Only the current tool's end counts, and not while it is being left.
    if (!m_continuousCall || m_continuousCall.get() == m_leaving || d != toolOf(m_continuousCall.get()))
        return;
    const Pin<const CommandController> alive(this);
    const Pin<CallInfo> previous(m_previousCall.get());
    _selectContinuous(previous.get(), true);
}

namespace {

// The rest of an interrupted drag: the same positions, no button.
tnUI::MouseEvent plainMotion(const tnUI::MouseEvent& e)
{
    return tnUI::MouseEvent(e.getLocalXY(), e.getWindowXY(), e.getScreenXY(), tnUI::MouseEvent::NoButton, 0, 0, 0);
}

tnUI::TabletEvent plainMotion(const tnUI::TabletEvent& e)
{
    return tnUI::TabletEvent(tnUI::TabletEvent::Motion, e.getDevice(), e.getPointerType(), e.getLocalXY(),
                             e.getWindowXY(), e.getScreenXY(), e.getTilt(), e.getPressure(), e.getRotation(), false, 0,
                             0);
}

// Remembers the last event of a pointer and whether it held a button, and,
// after a momentary command interrupted a drag, rewrites the rest of the
// drag into plain motions until the next press.
template <class E>
void trackDrag(E& e, bool& held, E& last, bool& rewritePending)
{
    held = e.isButtonHeld();
    last = e;
    if (rewritePending) {
        if (e.isPress())
            rewritePending = false;
        else if (e.isButtonHeld())
            e = plainMotion(e);
    }
}

// Events that only a tool asking for every motion gets: keys and wheel turns
// go to every tool, pointer moves without a button only to those.
bool isBareMotion(const tnUI::KeyEvent&)
{
    return false;
}

bool isBareMotion(const tnUI::WheelEvent&)
{
    return false;
}

bool isBareMotion(const tnUI::MouseEvent& e)
{
    return !e.isButtonActive();
}

bool isBareMotion(const tnUI::TabletEvent& e)
{
    return !e.isButtonHeld() && !e.isRelease();
}

} // namespace

// Inlined into each forwardEvent, so that the one delivery path costs no
// extra call on the hot path.
template <class E>
[[gnu::always_inline]] inline void CommandController::_forward(CallType t, E& e)
{
    const Pin<CallInfo> call(m_continuousCall.get());
    const Pin<ContinuousCommandDefn> d(toolOf(call.get()));
    if (!d || call.get() == m_leaving || (!d->getAllMotionEvents() && isBareMotion(e)))
        return;
    const Pin<const CommandController> alive(this);
    _noticeBefore(t, *call);
    if (_isCurrent(*call) && call.get() != m_leaving)
        d->handleEvent(*call, e);
    _noticeAfter(t, *call);
}

void CommandController::forwardEvent(tnUI::KeyEvent& e)
{
    _forward(KeyEvent, e);
}

void CommandController::forwardEvent(tnUI::WheelEvent& e)
{
    _forward(WheelEvent, e);
}

void CommandController::forwardEvent(tnUI::MouseEvent& e)
{
    trackDrag(e, m_lastMouseHeld, m_lastMouseEvent, m_mouseRewritePending);
    _forward(MouseEvent, e);
}

void CommandController::forwardEvent(tnUI::TabletEvent& e)
{
    trackDrag(e, m_lastTabletHeld, m_lastTabletEvent, m_tabletRewritePending);
    _forward(TabletEvent, e);
}

// NOLINTEND(clang-analyzer-cplusplus.NewDelete)

bool CommandController::dump(DumpFile& file, int level, const char* label) const
{
    if (!Entity::dump(file, level, label))
        return false;
    file.printf(level + 1, "<The state for the controller.>\n");
    return true;
}

const char* enumName(CommandController::CallType t)
{
    switch (t) {
    case CommandController::SelectCommand: return "SelectCommand";
    case CommandController::Execute: return "Execute";
    case CommandController::Selected: return "Selected";
    case CommandController::NewInteraction: return "NewInteraction";
    case CommandController::Unselected: return "Unselected";
    case CommandController::Start: return "Start";
    case CommandController::Stop: return "Stop";
    case CommandController::KeyEvent: return "KeyEvent";
    case CommandController::MouseEvent: return "MouseEvent";
    case CommandController::WheelEvent: return "WheelEvent";
    case CommandController::TabletEvent: return "TabletEvent";
    }
    throw ImplError();
}

} // namespace tnUI
