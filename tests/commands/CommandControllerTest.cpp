// The command controller as a host sees it: a recording host listens to the
// client-call and class signals while tools and momentary commands log their
// calls. One test per row of the controller's transition table, the trace of
// a drag interrupted by a momentary command, event delivery rules, refusals,
// and hosts that destroy objects in unusual orders.

#include "application/AppTestSupport.h"
#include "commands/CommandTestSupport.h"

#include <tnUI/application/TestWindow.h>
#include <tnUI/entity/Error.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using tnString::CString;
using tnUI::CallInfo;
using tnUI::CommandController;
using tnUI::CommandInstance;
using tnUI::ContinuousCommandState;
using tnUI::TabletEvent;
using tnUITest::callsOnly;
using tnUITest::drag;
using tnUITest::Log;
using tnUITest::LoggingClass;
using tnUITest::LoggingMomentary;
using tnUITest::LoggingTool;
using tnUITest::motion;
using tnUITest::press;
using tnUITest::release;

class ControllerTest : public tnUITest::ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        doc = document("sheet");
        window = show(doc);
        instance = window->getDocumentInstance();
        controller = &instance->getCommandController();
        host = std::make_unique<tnUITest::RecordingHost>(*controller, log);
        classA = new LoggingClass("A", log);
        classB = new LoggingClass("B", log);
    }
    void TearDown() override
    {
        if (host) {
            EXPECT_EQ(host->depthMismatches, 0);
        }
        host.reset();
        classA = nullptr;
        classB = nullptr;
        app = nullptr; // documents and controllers first, then the commands
        kept.clear();
        ApplicationTest::TearDown();
    }

    // A tool instance named name; the test keeps it.
    CommandInstance* tool(const char* name, tnUI::CommandClass* c = nullptr, bool transient = false)
    {
        auto* d = new LoggingTool(name, log);
        d->setClass(c);
        d->setActsLikeMomentary(transient);
        kept.emplace_back(new CommandInstance(d));
        return kept.back().get();
    }
    CommandInstance* momentary(const char* name, tnUI::CommandClass* c = nullptr, bool stateChange = true,
                               CommandInstance* force = nullptr)
    {
        auto* d = new LoggingMomentary(name, log);
        d->setClass(c);
        d->setDoesStateChange(stateChange);
        if (force)
            d->setForceCommand(force);
        kept.emplace_back(new CommandInstance(d));
        return kept.back().get();
    }
    static LoggingTool& defn(CommandInstance* ci) { return static_cast<LoggingTool&>(*ci->getCommand()); }

    void select(CommandInstance* ci) { controller->select(window, ci); }
    void forward(tnUI::MouseEvent e) { controller->forwardEvent(e); }
    // Selects ci and forgets what that logged.
    void ready(CommandInstance* ci)
    {
        select(ci);
        log.clear();
    }

    Log log;
    tnUI::Document* doc = nullptr;
    tnUITest::HostDocumentWindow* window = nullptr;
    tnUI::DocumentInstance* instance = nullptr;
    CommandController* controller = nullptr;
    std::unique_ptr<tnUITest::RecordingHost> host;
    tn::Reference<LoggingClass> classA, classB;
    std::vector<tn::Reference<CommandInstance>> kept;
};

TEST_F(ControllerTest, CallTypeNames)
{
    const char* const names[] = {"SelectCommand", "Execute",  "Selected",   "NewInteraction", "Unselected", "Start",
                                 "Stop",          "KeyEvent", "MouseEvent", "WheelEvent",     "TabletEvent"};
    for (int t = 0; t < 11; ++t)
        EXPECT_STREQ(tnUI::enumName(static_cast<CommandController::CallType>(t)), names[t]);
    EXPECT_THROW(tnUI::enumName(static_cast<CommandController::CallType>(11)), tnUI::ImplError);
    EXPECT_THROW(tnUI::enumName(static_cast<CommandController::CallType>(-1)), tnUI::ImplError);
}

TEST_F(ControllerTest, IdleSelectOfAToolSelectsAndStartsIt)
{
    CommandInstance* t = tool("T", classA.get());
    EXPECT_FALSE(controller->isClientCallActive());
    select(t);
    EXPECT_EQ(log, (Log{"[SelectCommand", "+A", "A.classSelected(T)", "[Selected", "T.Selected", "]Selected",
                        "[NewInteraction", "T.NewInteraction(new)", "]NewInteraction", "[Start", "T.Start", "]Start",
                        "]SelectCommand"}));
    EXPECT_FALSE(controller->isClientCallActive());
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_EQ(controller->getCurrentCommand(), t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), nullptr);
    EXPECT_EQ(controller->getCurrentClass(), classA.get());

    // The call record: the window given, the controller's document instance,
    // no pane.
    const CallInfo* call = controller->getCurrentCallInfo();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->getWindow(), window);
    EXPECT_EQ(call->getDocumentInstance(), instance);
    EXPECT_EQ(call->getWindowPane(), nullptr);
    EXPECT_FALSE(call->isValid());
}

TEST_F(ControllerTest, SelectingAnotherToolStopsAndUnselectsTheOld)
{
    CommandInstance* o = tool("O", classB.get());
    CommandInstance* t = tool("T", classA.get());
    ready(o);
    select(t);
    EXPECT_EQ(log, (Log{"[SelectCommand",
                        "[Stop",
                        "O.Stop",
                        "]Stop",
                        "[Unselected",
                        "O.Unselected",
                        "]Unselected",
                        "-B",
                        "B.classUnselected(T)",
                        "+A",
                        "A.classSelected(T)",
                        "[Selected",
                        "T.Selected",
                        "]Selected",
                        "[NewInteraction",
                        "T.NewInteraction(new)",
                        "]NewInteraction",
                        "[Start",
                        "T.Start",
                        "]Start",
                        "]SelectCommand"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), o);
}

TEST_F(ControllerTest, ToolsOfOneClassDoNotChangeTheClass)
{
    CommandInstance* o = tool("O", classA.get());
    CommandInstance* t = tool("T", classA.get());
    ready(o);
    select(t);
    EXPECT_EQ(callsOnly(log), (Log{"O.Stop", "O.Unselected", "T.Selected", "T.NewInteraction(new)", "T.Start"}));
}

TEST_F(ControllerTest, TransientToolIsNeverThePreviousTool)
{
    CommandInstance* p = tool("P");
    CommandInstance* zoom = tool("Z", nullptr, true);
    CommandInstance* t = tool("T");
    ready(p);
    select(zoom);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), p);
    select(t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), p); // not Z
}

TEST_F(ControllerTest, ReselectingTheCurrentToolStartsANewInteraction)
{
    CommandInstance* t = tool("T", classA.get());
    ready(t);
    const CallInfo* first = controller->getCurrentCallInfo();
    select(t);
    EXPECT_EQ(log, (Log{"[SelectCommand", "[Stop", "T.Stop", "]Stop", "[NewInteraction", "T.NewInteraction(again)",
                        "]NewInteraction", "[Start", "T.Start", "]Start", "]SelectCommand"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), t);
    EXPECT_NE(controller->getCurrentCallInfo(), first);
}

TEST_F(ControllerTest, SelectingNothingEndsTheToolWithinOneBracket)
{
    CommandInstance* t = tool("T", classA.get());
    ready(t);
    controller->select(window, nullptr);
    EXPECT_EQ(log, (Log{"[SelectCommand", "[Stop", "T.Stop", "]Stop", "[Unselected", "T.Unselected", "]Unselected",
                        "-A", "A.classUnselected(-)", "]SelectCommand"}));
    // Without a call of its own the class is told through a record that names
    // only the document instance.
    EXPECT_EQ(classA->lastUnselectedInstance, instance);
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
    EXPECT_EQ(controller->getCurrentCallInfo(), nullptr);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), t);
    EXPECT_EQ(controller->getCurrentClass(), nullptr);

    // Idle, nothing to stop: only the bracket.
    log.clear();
    controller->select(window, nullptr);
    EXPECT_EQ(log, (Log{"[SelectCommand", "]SelectCommand"}));
}

TEST_F(ControllerTest, DisabledCommandIsRefusedWithALineAndNothingElse)
{
    CommandInstance* t = tool("T", classA.get());
    CommandInstance* p = tool("P");
    ready(p);
    ready(t);
    const tn::Reference<tnUI::BoolValue> off(new tnUI::BoolValue(false));
    CommandInstance* locked = tool("Locked", classB.get());
    locked->setEnabledExpression(off.get());
    CommandInstance* m = momentary("M");
    m->getCommand()->setEnabledExpression(off.get());

    tnUITest::OutputCapture output;
    select(locked);
    select(m);
    EXPECT_EQ(output.errors, "CommandError: Attempt to select a disabled command: Locked\n"
                             "CommandError: Attempt to select a disabled command: M\n");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), p);
    EXPECT_EQ(controller->getCurrentClass(), classA.get());
}

TEST_F(ControllerTest, CommandsOfNeitherKindAreRefusedBeforeAnything)
{
    class PlainCommand : public tnUI::CommandDefn {
    public:
        PlainCommand() : CommandDefn(CString("plain")) {}
    };
    CommandInstance* t = tool("T");
    ready(t);
    kept.emplace_back(new CommandInstance(new PlainCommand));
    EXPECT_THROW(select(kept.back().get()), tnUI::ImplError);

    // A momentary command whose force command is no tool.
    CommandInstance* m = momentary("M", nullptr, true, kept.back().get());
    EXPECT_THROW(select(m), tnUI::ImplError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_FALSE(controller->isClientCallActive());
}

TEST_F(ControllerTest, ForceCommandIsSelectedUnstartedAroundTheExecution)
{
    CommandInstance* t = tool("T", classA.get());
    CommandInstance* f = tool("F", classA.get());
    CommandInstance* m = momentary("M", classB.get(), false, f);
    ready(t);
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"T.Stop", "T.Unselected", "F.Selected", "F.NewInteraction(new)", "-A",
                                   "A.classUnselected(M)", "+B", "B.classSelected(M)", "M.Execute", "-B",
                                   "B.classUnselected(M)", "+A", "A.classSelected(M)", "F.Start"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), f);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), t);

    // With F current the force step is skipped; doesStateChange false keeps
    // F running.
    log.clear();
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"M.Execute"}));
}

TEST_F(ControllerTest, ForcedToolCallCarriesTheMomentaryCallsWindow)
{
    CommandInstance* f = tool("F");
    CommandInstance* m = momentary("M", nullptr, true, f);
    select(m);
    const CallInfo* call = controller->getCurrentCallInfo();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->getCommandInstance(), f);
    EXPECT_EQ(call->getWindow(), window);
    EXPECT_EQ(call->getDocumentInstance(), instance);
}

TEST_F(ControllerTest, MomentaryWithStateChangeStopsAndRestartsTheTool)
{
    CommandInstance* t = tool("T", classA.get());
    CommandInstance* m = momentary("M", classB.get());
    ready(t);
    const CallInfo* toolCall = controller->getCurrentCallInfo();
    const CallInfo* seenDuring = nullptr;
    tnUI::CommandInstance* currentDuring = nullptr;
    static_cast<LoggingMomentary*>(m->getCommand())->onExecute = [&](CallInfo&) {
        seenDuring = controller->getCurrentCallInfo();
        currentDuring = controller->getCurrentCommand();
    };
    select(m);
    EXPECT_EQ(log, (Log{"[SelectCommand", "[Stop", "T.Stop", "]Stop", "-A", "A.classUnselected(M)", "+B",
                        "B.classSelected(M)", "[Execute", "M.Execute", "]Execute", "-B", "B.classUnselected(M)", "+A",
                        "A.classSelected(M)", "[Start", "T.Start", "]Start", "]SelectCommand"}));
    EXPECT_EQ(currentDuring, m);
    ASSERT_NE(seenDuring, nullptr);
    EXPECT_NE(seenDuring, toolCall);
    EXPECT_EQ(controller->getCurrentCallInfo(), toolCall);
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), nullptr);
}

TEST_F(ControllerTest, MomentaryWhileIdleOnlyExecutesWithItsClass)
{
    CommandInstance* m = momentary("M", classB.get());
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"+B", "B.classSelected(M)", "M.Execute", "-B", "B.classUnselected(M)"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
    EXPECT_EQ(controller->getCurrentClass(), nullptr);
}

TEST_F(ControllerTest, MomentaryOverATransientToolReturnsToThePreviousTool)
{
    CommandInstance* p = tool("P", classA.get());
    CommandInstance* zoom = tool("Z", classA.get(), true);
    CommandInstance* m = momentary("M");
    ready(p);
    ready(zoom);
    select(m);
    // P is selected without a start, M runs with no class, then P starts.
    EXPECT_EQ(callsOnly(log), (Log{"Z.Stop", "Z.Unselected", "P.Selected", "P.NewInteraction(new)", "-A",
                                   "A.classUnselected(M)", "M.Execute", "+A", "A.classSelected(M)", "P.Start"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), p);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), p);
}

TEST_F(ControllerTest, MomentaryOverATransientToolWithoutPreviousLeavesIdle)
{
    CommandInstance* zoom = tool("Z", nullptr, true);
    CommandInstance* m = momentary("M");
    ready(zoom);
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"Z.Stop", "Z.Unselected", "M.Execute"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
}

TEST_F(ControllerTest, MomentaryWithoutStateChangeLeavesTheToolAlone)
{
    CommandInstance* t = tool("T", classA.get());
    CommandInstance* m = momentary("M", classB.get(), false);
    ready(t);
    select(m);
    EXPECT_EQ(log, (Log{"[SelectCommand", "[Execute", "M.Execute", "]Execute", "]SelectCommand"}));
    EXPECT_EQ(controller->getCurrentClass(), classA.get());
}

TEST_F(ControllerTest, MomentaryWithoutStateChangeOverATransientToolLeavesThePreviousToolStopped)
{
    CommandInstance* p = tool("P");
    CommandInstance* zoom = tool("Z", nullptr, true);
    CommandInstance* m = momentary("M", nullptr, false);
    ready(p);
    ready(zoom);
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"Z.Stop", "Z.Unselected", "P.Selected", "P.NewInteraction(new)", "M.Execute"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), p);

    // Stopped: a later selection of another tool does not stop P again, and
    // a state-changing momentary command starts it.
    log.clear();
    select(momentary("N"));
    EXPECT_EQ(callsOnly(log), (Log{"N.Execute", "P.Start"}));
    log.clear();
    select(tool("T"));
    EXPECT_EQ(callsOnly(log), (Log{"P.Stop", "P.Unselected", "T.Selected", "T.NewInteraction(new)", "T.Start"}));
}

TEST_F(ControllerTest, FinishedToolGivesWayToThePreviousTool)
{
    CommandInstance* p = tool("P", classB.get());
    CommandInstance* t = tool("T", classA.get());
    ready(p);
    ready(t);
    defn(t).finished();
    EXPECT_EQ(log, (Log{"[Stop", "T.Stop", "]Stop", "[Unselected", "T.Unselected", "]Unselected", "-A",
                        "A.classUnselected(P)", "+B", "B.classSelected(P)", "[Selected", "P.Selected", "]Selected",
                        "[NewInteraction", "P.NewInteraction(new)", "]NewInteraction", "[Start", "P.Start", "]Start"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), p);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), t);

    // Unselected, T is no longer heard.
    log.clear();
    defn(t).finished();
    EXPECT_TRUE(log.empty());
}

TEST_F(ControllerTest, FinishedToolWithoutPreviousLeavesIdle)
{
    CommandInstance* t = tool("T", classA.get());
    ready(t);
    defn(t).finished();
    EXPECT_EQ(callsOnly(log), (Log{"T.Stop", "T.Unselected", "-A", "A.classUnselected(-)"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
    EXPECT_EQ(controller->getPreviousContinuousCommand(), t);
}

TEST_F(ControllerTest, DestroyedToolInstanceIsForgottenWithoutCalls)
{
    auto* t = new CommandInstance(new LoggingTool("T", log));
    tn::Reference<CommandInstance> held(t);
    const tn::Reference<tnUI::ContinuousCommandDefn> d(t->asContinuous());
    ready(t);
    held = nullptr;
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
    EXPECT_EQ(controller->getCurrentCallInfo(), nullptr);

    // Its definition lives on but no longer concerns the controller.
    d->finished();
    EXPECT_TRUE(log.empty());
    forward(press(1));
    EXPECT_TRUE(log.empty());
}

TEST_F(ControllerTest, TraceOfOneDragInterruptedByAMomentaryCommand)
{
    CommandInstance* t = tool("T", classA.get());
    CommandInstance* m = momentary("M", classB.get());
    defn(t).setAllMotionEvents(true);
    select(t);
    forward(press(10));
    forward(drag(20));
    select(m);
    tnUI::MouseEvent rewritten = drag(30);
    controller->forwardEvent(rewritten);
    EXPECT_EQ(rewritten.getButton(), tnUI::MouseEvent::NoButton); // the caller's event is rewritten
    forward(release(40));
    forward(press(50));
    forward(drag(60));
    EXPECT_EQ(callsOnly(log),
              (Log{"+A", "A.classSelected(T)", "T.Selected", "T.NewInteraction(new)", "T.Start", "T.Mouse press 10",
                   "T.Mouse drag 20",
                   // the momentary command: the drag ends for T first
                   "T.Mouse release 20", "T.Stop", "-A", "A.classUnselected(M)", "+B", "B.classSelected(M)",
                   "M.Execute", "-B", "B.classUnselected(M)", "+A", "A.classSelected(M)", "T.Start",
                   // the rest of the drag, as plain motions until the next press
                   "T.Mouse motion 30", "T.Mouse release 40", "T.Mouse press 50", "T.Mouse drag 60"}));
    // The built end of the drag is bracketed inside the selection.
    const auto built = std::find(log.begin(), log.end(), "T.Mouse release 20");
    ASSERT_NE(built, log.end());
    EXPECT_EQ(*(built - 1), "[MouseEvent");
    EXPECT_EQ(*(built + 1), "]MouseEvent");
    EXPECT_EQ(std::count(log.begin(), built, "[SelectCommand"), 2);
    // The built event is at the last position, with the three integers 0.
    EXPECT_EQ(defn(t).lastMouse.getWindowXY().y, 120.0);
}

TEST_F(ControllerTest, RewrittenMotionsReachOnlyToolsThatAskForThem)
{
    CommandInstance* t = tool("T");
    select(t);
    forward(press(10));
    select(momentary("M"));
    log.clear();
    forward(drag(20)); // rewritten to a motion without button: not delivered
    forward(motion(25));
    forward(release(30));
    EXPECT_EQ(callsOnly(log), (Log{"T.Mouse release 30"}));
}

TEST_F(ControllerTest, MotionWithoutButtonNeedsAllMotionEvents)
{
    CommandInstance* t = tool("T");
    ready(t);
    forward(motion(1));
    EXPECT_TRUE(log.empty());
    forward(press(2));
    forward(drag(3));
    forward(release(4));
    EXPECT_EQ(log, (Log{"[MouseEvent", "T.Mouse press 2", "]MouseEvent", "[MouseEvent", "T.Mouse drag 3", "]MouseEvent",
                        "[MouseEvent", "T.Mouse release 4", "]MouseEvent"}));
    log.clear();
    defn(t).setAllMotionEvents(true);
    forward(motion(5));
    EXPECT_EQ(callsOnly(log), (Log{"T.Mouse motion 5"}));
}

TEST_F(ControllerTest, KeyAndWheelEventsGoToTheToolOnly)
{
    tnUI::KeyEvent key;
    tnUI::WheelEvent wheel(tnLinear::Point2(), tnLinear::Point2(), tnLinear::Point2(), 120, tnUI::WheelEvent::Vertical,
                           0);
    controller->forwardEvent(key);
    controller->forwardEvent(wheel);
    forward(press(1));
    EXPECT_TRUE(log.empty());

    ready(tool("T"));
    controller->forwardEvent(key);
    controller->forwardEvent(wheel);
    EXPECT_EQ(log, (Log{"[KeyEvent", "T.Key", "]KeyEvent", "[WheelEvent", "T.Wheel 120", "]WheelEvent"}));
}

TabletEvent stylus(TabletEvent::Type type, double x)
{
    const tnLinear::Point2 p(x, x);
    return TabletEvent(type, TabletEvent::Stylus, TabletEvent::Eraser, p, p, p, tnLinear::Vector2(10, 20), 0.5, 33.0,
                       true, 1, 77);
}

TEST_F(ControllerTest, TabletDeliveryAndTheInterruptedStroke)
{
    CommandInstance* t = tool("T");
    ready(t);
    for (TabletEvent e : {stylus(TabletEvent::Motion, 1), stylus(TabletEvent::Press, 2), stylus(TabletEvent::Drag, 3),
                          stylus(TabletEvent::Release, 4), stylus(TabletEvent::Enter, 5)})
        controller->forwardEvent(e);
    EXPECT_EQ(callsOnly(log), (Log{"T.Tablet press 2", "T.Tablet drag 3", "T.Tablet release 4"}));

    log.clear();
    TabletEvent down = stylus(TabletEvent::Press, 6);
    controller->forwardEvent(down);
    select(momentary("M"));
    // The stroke ends for T as a release that keeps the stylus's state.
    const TabletEvent& end = defn(t).lastTablet;
    EXPECT_EQ(end.getType(), TabletEvent::Release);
    EXPECT_EQ(end.getDevice(), TabletEvent::Stylus);
    EXPECT_EQ(end.getPointerType(), TabletEvent::Eraser);
    EXPECT_EQ(end.getTilt().x, 10.0);
    EXPECT_EQ(end.getTilt().y, 20.0);
    EXPECT_EQ(end.getPressure(), 0.5);
    EXPECT_EQ(end.getRotation(), 33.0);
    EXPECT_FALSE(end.isSideButtonDown());
    EXPECT_EQ(end.getModifiers(), 0);
    EXPECT_EQ(end.getSerial(), 0);
    EXPECT_EQ(end.getLocalXY().x, 6.0);

    // The rest of the stroke becomes motions, delivered only on request.
    TabletEvent more = stylus(TabletEvent::Drag, 7);
    controller->forwardEvent(more);
    EXPECT_EQ(more.getType(), TabletEvent::Motion);
    EXPECT_EQ(more.getDevice(), TabletEvent::Stylus);
    EXPECT_EQ(more.getPressure(), 0.5);
    defn(t).setAllMotionEvents(true);
    TabletEvent again = stylus(TabletEvent::Drag, 8);
    controller->forwardEvent(again);
    TabletEvent next = stylus(TabletEvent::Press, 9);
    controller->forwardEvent(next);
    TabletEvent kept = stylus(TabletEvent::Drag, 10);
    controller->forwardEvent(kept);
    EXPECT_EQ(callsOnly(log), (Log{"T.Tablet press 6", "T.Tablet release 6", "T.Stop", "M.Execute", "T.Start",
                                   "T.Tablet motion 8", "T.Tablet press 9", "T.Tablet drag 10"}));
}

TEST_F(ControllerTest, ClientCallIsActiveInsideEveryNotice)
{
    // The recording host checks the depth at every notice (see TearDown);
    // here the command itself sees it too.
    CommandInstance* m = momentary("M");
    bool activeDuring = false;
    static_cast<LoggingMomentary*>(m->getCommand())->onExecute = [&](CallInfo&) {
        activeDuring = controller->isClientCallActive();
    };
    select(tool("T"));
    select(m);
    EXPECT_TRUE(activeDuring);
    EXPECT_FALSE(controller->isClientCallActive());
}

TEST_F(ControllerTest, ApplicationControllerCallsNameNoWindowNorDocument)
{
    CommandController& appController = app->getCommandController();
    Log appLog;
    tnUITest::RecordingHost appHost(appController, appLog);
    CommandInstance* t = tool("T");
    appController.select(nullptr, t);
    EXPECT_EQ(callsOnly(appLog), Log{});
    EXPECT_EQ(callsOnly(log), (Log{"T.Selected", "T.NewInteraction(new)", "T.Start"}));
    ASSERT_NE(appHost.lastCall, nullptr);
    const CallInfo* call = appController.getCurrentCallInfo();
    EXPECT_EQ(call->getWindow(), nullptr);
    EXPECT_EQ(call->getDocumentInstance(), nullptr);
    EXPECT_EQ(call->getApplication(), app.get());
    appController.select(nullptr, nullptr);
    EXPECT_EQ(appHost.depthMismatches, 0);
}

TEST_F(ControllerTest, StartedMarkWithoutStateIsSharedByTheDefinition)
{
    // T keeps its logic in the definition and has no states: the started
    // mark is the definition's, for every controller.
    CommandInstance* t = tool("T");
    CommandInstance* o = tool("O");
    CommandController& other = app->getCommandController();
    select(t);
    other.select(nullptr, t);
    select(o); // stops T and clears the shared mark
    log.clear();
    other.select(nullptr, o);
    EXPECT_EQ(callsOnly(log), (Log{"T.Unselected", "O.Selected", "O.NewInteraction(new)", "O.Start"}));
    other.select(nullptr, nullptr);
}

// A state that logs with the name of its document.
class NamedState : public ContinuousCommandState {
public:
    NamedState(const CallInfo& call, Log& log, std::string name)
        : ContinuousCommandState(call), m_log(log), m_name(std::move(name))
    {}
    void start(CallInfo&) override { m_log.push_back(m_name + ".Start"); }
    void stop(CallInfo&) override { m_log.push_back(m_name + ".Stop"); }

private:
    Log& m_log;
    std::string m_name;
};

TEST_F(ControllerTest, StatesKeepOneStartedMarkPerDocument)
{
    auto* otherWindow = show(doc);
    tnUI::DocumentInstance* otherInstance = otherWindow->getDocumentInstance();
    auto* d = new LoggingTool("T", log, true);
    kept.emplace_back(new CommandInstance(d));
    CommandInstance* t = kept.back().get();
    t->setInstanceState(new NamedState(CallInfo(nullptr, nullptr, instance, nullptr), log, "one"));
    t->setInstanceState(new NamedState(CallInfo(nullptr, nullptr, otherInstance, nullptr), log, "two"));
    CommandInstance* o = tool("O");

    select(t);
    otherWindow->selectCommand(t);
    select(o);
    log.clear();
    otherWindow->selectCommand(o);
    EXPECT_EQ(callsOnly(log),
              (Log{"T.Stop", "two.Stop", "T.Unselected", "O.Selected", "O.NewInteraction(new)", "O.Start"}));
}

TEST_F(ControllerTest, OneEndNoticeReturnsEveryControllerWhereTheToolIsCurrent)
{
    auto* otherWindow = show(doc);
    CommandController& otherController = otherWindow->getCommandController();
    CommandInstance* t = tool("T");
    CommandInstance* p = tool("P");
    CommandInstance* q = tool("Q");
    select(p);
    select(t);
    otherWindow->selectCommand(q);
    otherWindow->selectCommand(t);
    defn(t).finished();
    EXPECT_EQ(controller->getCurrentContinuousCommand(), p);
    EXPECT_EQ(otherController.getCurrentContinuousCommand(), q);
}

TEST_F(ControllerTest, ExceptionsFromCommandsPassThrough)
{
    CommandInstance* m = momentary("M");
    static_cast<LoggingMomentary*>(m->getCommand())->onExecute = [](CallInfo&) { throw tnUI::NotSetError(); };
    EXPECT_THROW(select(m), tnUI::NotSetError);
}

TEST_F(ControllerTest, DumpLine)
{
    const tnUITest::DumpText dump = tnUITest::dumpOf(*controller, "controller");
    EXPECT_EQ(dump,
              (tnUITest::DumpText{tnUITest::head(*controller, "controller"), {1, "<The state for the controller.>"}}));
}

// Hosts that destroy things in unusual orders. The sanitizer build proves
// that nothing is used after it died.

TEST_F(ControllerTest, ToolThatClosesItsDocumentWhileStarting)
{
    CommandInstance* t = tool("T");
    defn(t).onStart = [this](CallInfo&) { doc->removeInstance(instance); };
    select(t);
    // The controller lived until its select was over, then died with its
    // document instance.
    EXPECT_EQ(log, (Log{"[SelectCommand", "[Selected", "T.Selected", "]Selected", "[NewInteraction",
                        "T.NewInteraction(new)", "]NewInteraction", "[Start", "T.Start", "]Start", "]SelectCommand"}));
    EXPECT_EQ(app->getNumDocuments(), 0);
}

TEST_F(ControllerTest, ControllerHeldByTheHostOutlivesItsDocument)
{
    CommandInstance* t = tool("T", classA.get());
    select(t);
    const tn::Reference<CommandController> held(controller);
    doc->removeInstance(instance);
    EXPECT_EQ(held->getDocumentInstance(), nullptr);
    log.clear();
    held->forwardEvent(*std::make_unique<tnUI::MouseEvent>(press(3)));
    held->select(nullptr, nullptr);
    EXPECT_EQ(callsOnly(log), (Log{"T.Mouse press 3", "T.Stop", "T.Unselected", "-A", "A.classUnselected(-)"}));
    EXPECT_EQ(classA->lastUnselectedInstance, nullptr);
    host.reset();
}

TEST_F(ControllerTest, ToolThatSelectsAnotherToolFromItsEventHandler)
{
    CommandInstance* t = tool("T");
    CommandInstance* o = tool("O");
    defn(t).onMouse = [this, o](CallInfo&, tnUI::MouseEvent&) { select(o); };
    ready(t);
    forward(press(1));
    EXPECT_EQ(log, (Log{"[MouseEvent",     "T.Mouse press 1",
                        "[SelectCommand",  "[Stop",
                        "T.Stop",          "]Stop",
                        "[Unselected",     "T.Unselected",
                        "]Unselected",     "[Selected",
                        "O.Selected",      "]Selected",
                        "[NewInteraction", "O.NewInteraction(new)",
                        "]NewInteraction", "[Start",
                        "O.Start",         "]Start",
                        "]SelectCommand",  "]MouseEvent"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), o);
}

TEST_F(ControllerTest, MomentaryThatDestroysItsOwnInstance)
{
    const tn::Reference<tnUI::CommandGroup> menu(new tnUI::CommandGroup);
    auto* d = new LoggingMomentary("M", log);
    menu->appendItem(tn::Reference<CommandInstance>(new CommandInstance(d)));
    CommandInstance* m = static_cast<CommandInstance*>(menu->getElement(0));
    d->onExecute = [&menu](CallInfo& call) {
        menu->removeItem(0);
        EXPECT_EQ(call.getCommandInstance(), nullptr);
    };
    d->setClass(classB.get());
    ready(tool("T", classA.get()));
    select(m);
    EXPECT_EQ(callsOnly(log), (Log{"T.Stop", "-A", "A.classUnselected(M)", "+B", "B.classSelected(M)", "M.Execute",
                                   "-B", "B.classUnselected(-)", "+A", "A.classSelected(-)", "T.Start"}));
}

TEST_F(ControllerTest, WindowGivenToSelectMayDie)
{
    tn::Reference<tnUI::TestWindow> loose(new tnUI::TestWindow);
    CommandInstance* t = tool("T");
    controller->select(loose.get(), t);
    loose = nullptr;
    EXPECT_EQ(controller->getCurrentCallInfo()->getWindow(), nullptr);
    EXPECT_EQ(controller->getCurrentContinuousCommand(), t);
    log.clear();
    forward(press(1));
    EXPECT_EQ(callsOnly(log), (Log{"T.Mouse press 1"}));
}

TEST_F(ControllerTest, PreviousToolDiesBeforeTheCurrentOneFinishes)
{
    auto* p = new CommandInstance(new LoggingTool("P", log));
    tn::Reference<CommandInstance> held(p);
    CommandInstance* t = tool("T", classA.get());
    select(p);
    select(t);
    held = nullptr;
    EXPECT_EQ(controller->getPreviousContinuousCommand(), nullptr);
    log.clear();
    defn(t).finished();
    EXPECT_EQ(callsOnly(log), (Log{"T.Stop", "T.Unselected", "-A", "A.classUnselected(-)"}));
    EXPECT_EQ(controller->getCurrentContinuousCommand(), nullptr);
}

} // namespace
