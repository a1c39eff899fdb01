#include "ContinuousCommandDefn.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "CallInfo.h"
#include "CommandInstance.h"

namespace tnUI {

namespace {

// The state of the call's command instance for the call's document
// instance, as a tool's state, or null.
ContinuousCommandState* stateOf(const CallInfo& call)
{
    return dynamic_cast<ContinuousCommandState*>(call.getCommandInstanceState());
}

ContinuousCommandState& requiredState(const CallInfo& call)
{
    ContinuousCommandState* state = stateOf(call);
    if (!state)
        throw ImplError();
    return *state;
}

} // namespace

ContinuousCommandDefn::ContinuousCommandDefn() = default;

ContinuousCommandDefn::ContinuousCommandDefn(const Name* n) : CommandDefn(n)
{}

ContinuousCommandDefn::ContinuousCommandDefn(const tnString::CString& t) : CommandDefn(t)
{}

ContinuousCommandDefn::~ContinuousCommandDefn() = default;

bool ContinuousCommandDefn::isContinuous() const
{
    return true;
}

bool ContinuousCommandDefn::actsLikeMomentary() const
{
    return m_actsLikeMomentary;
}

void ContinuousCommandDefn::finished()
{
    finishedSignal.fire(this);
}

void ContinuousCommandDefn::commandSelected(CallInfo& call)
{
    requiredState(call).commandSelected(call);
}

void ContinuousCommandDefn::newInteraction(CallInfo& call, bool isNew)
{
    requiredState(call).newInteraction(call, isNew);
}

void ContinuousCommandDefn::commandUnselected(CallInfo& call)
{
    requiredState(call).commandUnselected(call);
}

void ContinuousCommandDefn::start(CallInfo& call)
{
    requiredState(call).start(call);
}

void ContinuousCommandDefn::stop(CallInfo& call)
{
    requiredState(call).stop(call);
}

void ContinuousCommandDefn::handleEvent(CallInfo& call, TabletEvent& event)
{
    requiredState(call).handleEvent(call, event);
}

void ContinuousCommandDefn::handleEvent(CallInfo& call, WheelEvent& event)
{
    requiredState(call).handleEvent(call, event);
}

void ContinuousCommandDefn::handleEvent(CallInfo& call, MouseEvent& event)
{
    requiredState(call).handleEvent(call, event);
}

void ContinuousCommandDefn::handleEvent(CallInfo& call, KeyEvent& event)
{
    requiredState(call).handleEvent(call, event);
}

bool ContinuousCommandDefn::isCommandStarted(const CallInfo& call) const
{
    const ContinuousCommandState* state = stateOf(call);
    return state ? state->isCommandStarted() : m_startedWithoutState;
}

void ContinuousCommandDefn::setCommandStarted(const CallInfo& call, bool started)
{
    if (ContinuousCommandState* state = stateOf(call))
        state->setCommandStarted(started);
    else
        m_startedWithoutState = started;
}

bool ContinuousCommandDefn::dump(DumpFile& file, int level, const char* label) const
{
    if (!CommandDefn::dump(file, level, label))
        return false;
    file.printf(level + 1, "actsLikeMomentary = %s\n", DumpFile::dumpBool(m_actsLikeMomentary));
    file.printf(level + 1, "allMotionEvents = %s\n", DumpFile::dumpBool(m_allMotionEvents));
    return true;
}

ContinuousCommandState::ContinuousCommandState(const CallInfo& call) : CommandInstanceState(call)
{}

ContinuousCommandState::~ContinuousCommandState() = default;

ContinuousCommandDefn* ContinuousCommandState::getContinuousCommand()
{
    auto* tool = dynamic_cast<ContinuousCommandDefn*>(getCommand());
    if (!tool)
        throw ImplError();
    return tool;
}

void ContinuousCommandState::finished()
{
    getContinuousCommand()->finished();
}

void ContinuousCommandState::setAllMotionEvents(bool allMotionEvents)
{
    getContinuousCommand()->setAllMotionEvents(allMotionEvents);
}

void ContinuousCommandState::setCompressMotionEvents(bool compress)
{
    getContinuousCommand()->setCompressMotionEvents(compress);
}

bool ContinuousCommandState::getCompressMotionEvents()
{
    return getContinuousCommand()->getCompressMotionEvents();
}

void ContinuousCommandState::commandSelected(CallInfo& call)
{
    (void)call;
}

void ContinuousCommandState::newInteraction(CallInfo& call, bool isNew)
{
    (void)call;
    (void)isNew;
}

void ContinuousCommandState::commandUnselected(CallInfo& call)
{
    (void)call;
}

void ContinuousCommandState::start(CallInfo& call)
{
    (void)call;
}

void ContinuousCommandState::stop(CallInfo& call)
{
    (void)call;
}

void ContinuousCommandState::handleEvent(CallInfo& call, TabletEvent& event)
{
    (void)call;
    (void)event;
}

void ContinuousCommandState::handleEvent(CallInfo& call, WheelEvent& event)
{
    (void)call;
    (void)event;
}

void ContinuousCommandState::handleEvent(CallInfo& call, MouseEvent& event)
{
    (void)call;
    (void)event;
}

void ContinuousCommandState::handleEvent(CallInfo& call, KeyEvent& event)
{
    (void)call;
    (void)event;
}

} // namespace tnUI
