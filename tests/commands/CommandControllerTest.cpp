// The command controller as a host sees it: a recording host listens to the
// client-call and class signals while tools and momentary commands log their
// calls. Hosts that drop tools, momentary commands or documents from within
// the controller's calls are the controller fuzzer's (its seeds in
// fuzz/corpus/controller_fuzzer).

#include "commands/CommandTestSupport.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;

// The commands every test can use, by name: tools, transient tools
// (actsLikeMomentary) and momentary commands, in class A, B or none.
struct Cast {
    const char* name;
    enum { Tool, Transient, Momentary } kind;
    const char* commandClass;
    bool stateChange = true;
    const char* force = nullptr;
};
// clang-format off
const Cast cast[] = {
    {"T", Cast::Tool, "A"}, {"S", Cast::Tool, "A"}, {"P", Cast::Tool, "A"}, {"F", Cast::Tool, "A"},
    {"O", Cast::Tool, "B"}, {"Q", Cast::Tool, nullptr}, {"R", Cast::Tool, nullptr},
    {"Z", Cast::Transient, "A"}, {"Y", Cast::Transient, nullptr},
    {"M", Cast::Momentary, "B", true}, {"N", Cast::Momentary, "B", false},
    {"K", Cast::Momentary, nullptr, true}, {"J", Cast::Momentary, nullptr, false},
    {"X", Cast::Momentary, "B", false, "F"},
};
// clang-format on

class ControllerTest : public ShownDocumentTest {
protected:
    void SetUp() override
    {
        ShownDocumentTest::SetUp();
        controller = &instance->getCommandController();
        host = std::make_unique<RecordingHost>(*controller, log);
        classes["A"] = new LoggingClass("A", log);
        classes["B"] = new LoggingClass("B", log);
        for (const Cast& c : cast) {
            CommandDefn* d = nullptr;
            if (c.kind == Cast::Momentary) {
                auto* m = new LoggingMomentary(c.name, log);
                m->setDoesStateChange(c.stateChange);
                if (c.force)
                    m->setForceCommand(cmd(c.force));
                d = m;
            } else {
                auto* t = new LoggingTool(c.name, log);
                t->setActsLikeMomentary(c.kind == Cast::Transient);
                d = t;
            }
            d->setClass(c.commandClass ? classes[c.commandClass].get() : nullptr);
            commands[c.name] = new CommandInstance(d);
        }
    }
    void TearDown() override
    {
        EXPECT_EQ(host ? host->depthMismatches : 0, 0);
        host.reset();
        app = nullptr; // documents and controllers first, then the commands
        commands.clear();
        classes.clear();
        ShownDocumentTest::TearDown();
    }

    CommandInstance* cmd(const std::string& name) { return commands.at(name).get(); }
    LoggingTool& tool(const std::string& name) { return static_cast<LoggingTool&>(*cmd(name)->getCommand()); }
    LoggingMomentary& momentary(const std::string& name)
    {
        return static_cast<LoggingMomentary&>(*cmd(name)->getCommand());
    }

    void select(CommandInstance* ci) { controller->select(window, ci); }
    void select(const std::string& name) { select(cmd(name)); }
    // Forwards copies of the events, in order.
    template <class... E>
    void forward(E... e)
    {
        (controller->forwardEvent(e), ...);
    }
    // Runs the space-separated steps: a name selects that command, "-"
    // selects nothing, "T!" makes tool T announce its end, "@" forwards a
    // press at 9.
    void run(const std::string& steps)
    {
        std::istringstream in(steps);
        for (std::string step; in >> step;) {
            if (step == "-")
                controller->select(window, nullptr);
            else if (step == "@")
                forward(press(9));
            else if (step.back() == '!')
                tool(step.substr(0, step.size() - 1)).finished();
            else
                select(step);
        }
    }
    // Runs the steps and forgets what they logged.
    void ready(const std::string& steps)
    {
        run(steps);
        log.clear();
    }
    std::string name(const CommandInstance* ci) const { return ci ? ci->nameAsChar() : "-"; }
    std::string calls() const { return joined(log); }
    // Checks the state given as "<current tool> <previous tool> <class>"
    // ("-": none, "*": not checked).
    void expectState(const std::string& state)
    {
        std::istringstream in(state);
        std::string current, previous, currentClass;
        in >> current >> previous >> currentClass;
        EXPECT_EQ(name(controller->getCurrentContinuousCommand()), current);
        if (previous != "*") {
            EXPECT_EQ(name(controller->getPreviousContinuousCommand()), previous);
        }
        const CommandClass* c = controller->getCurrentClass();
        EXPECT_EQ(c ? c->nameAsChar() : "-", currentClass);
    }

    Log log;
    CommandController* controller = nullptr;
    std::unique_ptr<RecordingHost> host;
    std::map<std::string, tn::Reference<LoggingClass>> classes;
    std::map<std::string, tn::Reference<CommandInstance>> commands;
};

// One transition: the steps before, the step itself, the calls it makes (host
// notices left out) and the state after: current tool, previous tool and
// current class ("*": not checked).
struct Transition {
    const char* before;
    const char* step;
    const char* calls;
    const char* after;
};

const Transition transitions[] = {
    // Selecting tools.
    {"", "T", "+A A.classSelected(T) T.Selected T.NewInteraction(new) T.Start", "T - A"},
    {"O", "T",
     "O.Stop O.Unselected -B B.classUnselected(T) +A A.classSelected(T) T.Selected T.NewInteraction(new) T.Start",
     "T O A"},
    {"S", "T", "S.Stop S.Unselected T.Selected T.NewInteraction(new) T.Start", "T S A"},
    {"T", "T", "T.Stop T.NewInteraction(again) T.Start", "T T A"},
    {"T", "-", "T.Stop T.Unselected -A A.classUnselected(-)", "- T -"},
    {"", "-", "", "- - -"},
    // A transient tool never becomes the previous tool.
    {"P Z", "T", "Z.Stop Z.Unselected T.Selected T.NewInteraction(new) T.Start", "T P A"},
    // Momentary commands.
    {"", "M", "+B B.classSelected(M) M.Execute -B B.classUnselected(M)", "- - -"},
    {"T", "M",
     "T.Stop -A A.classUnselected(M) +B B.classSelected(M) M.Execute -B B.classUnselected(M) +A A.classSelected(M) "
     "T.Start",
     "T - A"},
    {"T", "N", "N.Execute", "T - A"},
    {"P Z", "K",
     "Z.Stop Z.Unselected P.Selected P.NewInteraction(new) -A A.classUnselected(K) K.Execute +A A.classSelected(K) "
     "P.Start",
     "P P A"},
    {"Y", "K", "Y.Stop Y.Unselected K.Execute", "- * -"},
    // Without a state change over a transient tool the previous tool is left
    // selected but stopped: a state-changing command starts it.
    {"Q Y", "J", "Y.Stop Y.Unselected Q.Selected Q.NewInteraction(new) J.Execute", "Q * -"},
    {"Q Y J", "K", "K.Execute Q.Start", "Q * -"},
    {"Q Y J", "R", "Q.Unselected R.Selected R.NewInteraction(new) R.Start", "R * -"},
    {"Q Y J K", "R", "Q.Stop Q.Unselected R.Selected R.NewInteraction(new) R.Start", "R * -"},
    // A force command is selected unstarted around the execution.
    {"T", "X",
     "T.Stop T.Unselected F.Selected F.NewInteraction(new) -A A.classUnselected(X) +B B.classSelected(X) X.Execute "
     "-B B.classUnselected(X) +A A.classSelected(X) F.Start",
     "F T A"},
    {"T X", "X", "X.Execute", "F T A"},
    // A finished tool gives way to the previous one; an unselected one is no
    // longer heard.
    {"O T", "T!",
     "T.Stop T.Unselected -A A.classUnselected(O) +B B.classSelected(O) O.Selected O.NewInteraction(new) O.Start",
     "O T B"},
    {"O T T!", "T!", "", "O T B"},
    {"T", "T!", "T.Stop T.Unselected -A A.classUnselected(-)", "- T -"},
};

class TransitionTest : public ControllerTest, public ::testing::WithParamInterface<Transition> {};

TEST_P(TransitionTest, CallsAndStateAfter)
{
    const Transition& t = GetParam();
    SCOPED_TRACE(std::string("after \"") + t.before + "\": " + t.step);
    ready(t.before);
    run(t.step);
    EXPECT_EQ(calls(), t.calls);
    expectState(t.after);
}

INSTANTIATE_TEST_SUITE_P(Controller, TransitionTest, ::testing::ValuesIn(transitions));

// Commands that act on the controller from within one of their own calls:
// the steps before, the command (or the host's notice) and its call (as
// logged) that runs the action, the step, then as for a transition. A later switch made from
// within a call supersedes the rest of the switch in progress; a tool on its
// way out is neither heard nor started again.
struct Reentry {
    const char* before;
    const char* command;
    const char* call;
    const char* action;
    const char* step;
    const char* calls;
    const char* after;
};

const Reentry reentries[] = {
    // A tool that ends itself when it is stopped.
    {"P T", "T", "Stop", "T!", "R",
     "T.Stop T.Unselected -A A.classUnselected(R) R.Selected R.NewInteraction(new) R.Start", "R T -"},
    {"P T", "T", "Stop", "T!", "-", "T.Stop T.Unselected -A A.classUnselected(-)", "- T -"},
    {"P T", "T", "Stop", "T!", "T", "T.Stop T.NewInteraction(again) T.Start", "T T A"},
    {"P T", "T", "Stop", "T!", "M",
     "T.Stop T.Unselected P.Selected P.NewInteraction(new) P.Start -A A.classUnselected(M) +B B.classSelected(M) "
     "M.Execute -B B.classUnselected(M) +A A.classSelected(M)",
     "P T A"},
    // A tool that ends itself as soon as it is selected or started.
    {"P", "T", "NewInteraction(new)", "T!", "T",
     "P.Stop P.Unselected T.Selected T.NewInteraction(new) T.Unselected P.Selected P.NewInteraction(new) P.Start",
     "P T A"},
    {"P", "T", "Start", "T!", "T",
     "P.Stop P.Unselected T.Selected T.NewInteraction(new) T.Start T.Stop T.Unselected P.Selected "
     "P.NewInteraction(new) P.Start",
     "P T A"},
    {"P", "T", "Selected", "T!", "T", "P.Stop P.Unselected T.Selected T.NewInteraction(new) T.Start", "T P A"},
    // Selections from within a switch: the later one wins.
    {"P T", "T", "Stop", "R", "Q",
     "T.Stop T.Unselected -A A.classUnselected(R) R.Selected R.NewInteraction(new) R.Start", "R T -"},
    {"P T", "T", "Unselected", "O", "Q",
     "T.Stop T.Unselected -A A.classUnselected(O) +B B.classSelected(O) O.Selected O.NewInteraction(new) O.Start",
     "O T B"},
    {"P", "T", "Selected", "R", "T",
     "P.Stop P.Unselected T.Selected T.Unselected -A A.classUnselected(R) R.Selected R.NewInteraction(new) R.Start",
     "R T -"},
    {"P T", "T", "Stop", "T", "Q", "T.Stop T.NewInteraction(again) T.Start", "T T A"},
    // A tool on its way out gets no events and is not restarted.
    {"P T", "T", "Stop", "@", "Q",
     "T.Stop T.Unselected -A A.classUnselected(Q) Q.Selected Q.NewInteraction(new) Q.Start", "Q T -"},
    {"P T", "T", "Stop", "K", "Q",
     "T.Stop -A A.classUnselected(K) K.Execute +A A.classSelected(K) T.Unselected -A A.classUnselected(Q) "
     "Q.Selected Q.NewInteraction(new) Q.Start",
     "Q T -"},
    // The host acting from a notice, before the call it announces.
    {"P T", "[Stop", "", "T", "Q", "T.Stop T.NewInteraction(again) T.Start", "T T A"},
    {"T", "[Selected", "", "N", "P", "T.Stop T.Unselected N.Execute P.Selected P.NewInteraction(new) P.Start", "P T A"},
    {"T", "[Selected", "", "K", "P",
     "T.Stop T.Unselected -A A.classUnselected(K) K.Execute +A A.classSelected(K) P.Selected P.NewInteraction(new) "
     "P.Start",
     "P T A"},
    // Momentary commands from within a momentary command.
    {"T", "M", "Execute", "K", "M",
     "T.Stop -A A.classUnselected(M) +B B.classSelected(M) M.Execute -B B.classUnselected(K) K.Execute +A "
     "A.classSelected(K) T.Start then M",
     "T - A"},
};

class ReentryTest : public ControllerTest, public ::testing::WithParamInterface<Reentry> {};

TEST_P(ReentryTest, CallsAndStateAfter)
{
    const Reentry& r = GetParam();
    SCOPED_TRACE(std::string("after \"") + r.before + "\": " + r.step + ", " + r.command + "." + r.call + " runs " +
                 r.action);
    ready(r.before);
    const auto act = [this, r](const std::string& call) {
        if (call == r.call)
            run(r.action);
    };
    // A momentary command also tells which command is current once its
    // action is over.
    // "[Stop": the host, once, when it hears that notice.
    tnRTB::SignalClient hostClient;
    if (r.command[0] == '[') {
        auto once = std::make_shared<bool>(true);
        tnRTB::connect(controller->clientCallSignal, &hostClient,
                       [this, r, once](CommandController::CallType t, CallInfo&, bool before) {
                           if (before && *once && std::string(enumName(t)) == r.command + 1) {
                               *once = false;
                               run(r.action);
                           }
                       });
    } else if (cmd(r.command)->isMomentary())
        momentary(r.command).onExecute = [this, act](CallInfo&) {
            act("Execute");
            log.push_back("then " + name(controller->getCurrentCommand()));
        };
    else
        tool(r.command).onCall = act;
    run(r.step);
    EXPECT_EQ(calls(), r.calls);
    expectState(r.after);
    EXPECT_EQ(controller->getCurrentCommand(), controller->getCurrentContinuousCommand());
    EXPECT_FALSE(controller->isClientCallActive());
}

INSTANTIATE_TEST_SUITE_P(Controller, ReentryTest, ::testing::ValuesIn(reentries));

TEST_F(ControllerTest, NoticesBracketEveryCallAndTheCallRecordsNameTheWindow)
{
    select("T");
    EXPECT_EQ(joined(log, true), "[SelectCommand +A A.classSelected(T) [Selected T.Selected ]Selected [NewInteraction "
                                 "T.NewInteraction(new) ]NewInteraction [Start T.Start ]Start ]SelectCommand");
    const CallInfo* toolCall = controller->getCurrentCallInfo();
    ASSERT_NE(toolCall, nullptr);
    EXPECT_EQ(toolCall->getWindow(), window);
    EXPECT_EQ(toolCall->getDocumentInstance(), instance);

    // During the execution the momentary command is current, with a call
    // record of its own; the tool's comes back afterwards.
    const CallInfo* seenDuring = nullptr;
    CommandInstance* currentDuring = nullptr;
    momentary("M").onExecute = [&](CallInfo&) {
        seenDuring = controller->getCurrentCallInfo();
        currentDuring = controller->getCurrentCommand();
    };
    log.clear();
    select("M");
    EXPECT_EQ(joined(log, true), "[SelectCommand [Stop T.Stop ]Stop -A A.classUnselected(M) +B B.classSelected(M) "
                                 "[Execute M.Execute ]Execute -B B.classUnselected(M) +A A.classSelected(M) [Start "
                                 "T.Start ]Start ]SelectCommand");
    EXPECT_EQ(currentDuring, cmd("M"));
    EXPECT_NE(seenDuring, toolCall);
    EXPECT_EQ(controller->getCurrentCallInfo(), toolCall);

    // Ending the tool, the class hears of it through a record that names only
    // the document instance. A forced tool's call has the momentary's window.
    run("- X");
    EXPECT_EQ(classes["A"]->lastUnselectedInstance, instance);
    EXPECT_EQ(controller->getCurrentCallInfo()->getCommandInstance(), cmd("F"));
    EXPECT_EQ(controller->getCurrentCallInfo()->getWindow(), window);

    // The window given to select may die before the tool's next event.
    tn::Reference<TestWindow> loose(new TestWindow);
    controller->select(loose.get(), cmd("Q"));
    loose = nullptr;
    EXPECT_EQ(controller->getCurrentCallInfo()->getWindow(), nullptr);
    log.clear();
    forward(press(1));
    EXPECT_EQ(calls(), "Q.Mouse press 1");
}

TEST_F(ControllerTest, ExceptionsFromCommandsPassThrough)
{
    momentary("M").onExecute = [](CallInfo&) { throw NotSetError(); };
    EXPECT_THROW(select("M"), NotSetError);
}

TEST_F(ControllerTest, DisabledOrKindlessCommandsAreRefusedBeforeAnything)
{
    ready("P T");
    const tn::Reference<BoolValue> off(new BoolValue(false));
    cmd("O")->setEnabledExpression(off.get());
    cmd("M")->getCommand()->setEnabledExpression(off.get());
    OutputCapture output;
    run("O M");
    EXPECT_EQ(output.errors, "CommandError: Attempt to select a disabled command: O\n"
                             "CommandError: Attempt to select a disabled command: M\n");

    // Neither momentary nor continuous, or forced to such a command: refused.
    class PlainCommand : public CommandDefn {
    public:
        PlainCommand() : CommandDefn(CString("plain")) {}
    };
    const tn::Reference<CommandInstance> plain(new CommandInstance(new PlainCommand));
    EXPECT_THROW(select(plain.get()), ImplError);
    auto* forced = new LoggingMomentary("forced", log);
    forced->setForceCommand(plain.get());
    const tn::Reference<CommandInstance> m(new CommandInstance(forced));
    EXPECT_THROW(select(m.get()), ImplError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(controller->getCurrentContinuousCommand(), cmd("T"));
    EXPECT_EQ(controller->getPreviousContinuousCommand(), cmd("P"));
    EXPECT_FALSE(controller->isClientCallActive());
}

TEST_F(ControllerTest, TraceOfOneDragInterruptedByAMomentaryCommand)
{
    tool("T").setAllMotionEvents(true);
    select("T");
    forward(press(10), drag(20));
    select("M");
    MouseEvent rewritten = drag(30);
    controller->forwardEvent(rewritten);
    EXPECT_EQ(rewritten.getButton(), MouseEvent::NoButton); // the caller's event is rewritten
    forward(release(40), press(50), drag(60));
    EXPECT_EQ(calls(), "+A A.classSelected(T) T.Selected T.NewInteraction(new) T.Start T.Mouse press 10 "
                       "T.Mouse drag 20 "
                       // the momentary command: the drag ends for T first
                       "T.Mouse release 20 T.Stop -A A.classUnselected(M) +B B.classSelected(M) M.Execute -B "
                       "B.classUnselected(M) +A A.classSelected(M) T.Start "
                       // the rest of the drag, as plain motions until the next press
                       "T.Mouse motion 30 T.Mouse release 40 T.Mouse press 50 T.Mouse drag 60");
    // The built end of the drag is bracketed inside the selection.
    const auto built = std::find(log.begin(), log.end(), "T.Mouse release 20");
    ASSERT_NE(built, log.end());
    EXPECT_EQ(*(built - 1), "[MouseEvent");
    EXPECT_EQ(*(built + 1), "]MouseEvent");
    EXPECT_EQ(std::count(log.begin(), built, "[SelectCommand"), 2);
}

TEST_F(ControllerTest, EventsReachOnlyTheToolAndMotionsOnlyOnRequest)
{
    KeyEvent key;
    WheelEvent wheel(tnLinear::Point2(), tnLinear::Point2(), tnLinear::Point2(), 120, WheelEvent::Vertical, 0);
    forward(key, wheel, press(1));
    EXPECT_TRUE(log.empty());
    ready("T");
    forward(key, wheel, motion(1), press(2), release(4));
    EXPECT_EQ(joined(log, true), "[KeyEvent T.Key ]KeyEvent [WheelEvent T.Wheel 120 ]WheelEvent [MouseEvent T.Mouse "
                                 "press 2 ]MouseEvent [MouseEvent T.Mouse release 4 ]MouseEvent");
    // A drag rewritten after an interruption is a motion too.
    forward(press(10));
    ready("M");
    forward(drag(20));
    tool("T").setAllMotionEvents(true);
    forward(motion(5));
    EXPECT_EQ(calls(), "T.Mouse motion 5");
}

TEST_F(ControllerTest, TabletDeliveryAndTheInterruptedStroke)
{
    ready("T");
    const auto send = [this](TabletEvent::Type type, double x) {
        const tnLinear::Point2 p(x, x);
        TabletEvent e(type, TabletEvent::Stylus, TabletEvent::Eraser, p, p, p, tnLinear::Vector2(10, 20), 0.5, 33.0,
                      true, 1, 77);
        controller->forwardEvent(e);
        return e;
    };
    for (auto type : {TabletEvent::Motion, TabletEvent::Press, TabletEvent::Release, TabletEvent::Enter})
        send(type, 1);
    send(TabletEvent::Press, 6);
    select("K");
    // The stroke ends for T as a release that keeps the stylus's state.
    const TabletEvent& end = tool("T").lastTablet;
    EXPECT_EQ(std::tuple(end.getPointerType(), end.getTilt().y, end.getPressure(), end.getRotation(),
                         end.isSideButtonDown(), end.getModifiers() + end.getSerial()),
              std::tuple(TabletEvent::Eraser, 20.0, 0.5, 33.0, false, 0));

    // The rest of the stroke becomes motions, delivered only on request.
    EXPECT_EQ(send(TabletEvent::Drag, 7).getType(), TabletEvent::Motion);
    tool("T").setAllMotionEvents(true);
    for (auto [type, x] : {std::pair{TabletEvent::Drag, 8}, {TabletEvent::Press, 9}, {TabletEvent::Drag, 10}})
        send(type, x);
    EXPECT_EQ(calls(), "T.Tablet press 1 T.Tablet release 1 T.Tablet press 6 T.Tablet release 6 T.Stop -A "
                       "A.classUnselected(K) K.Execute +A A.classSelected(K) T.Start T.Tablet motion 8 T.Tablet press "
                       "9 T.Tablet drag 10");
}

TEST_F(ControllerTest, StartedMarksAreKeptPerStateOrSharedByTheDefinition)
{
    // Q keeps its logic in the definition and has no states: the started
    // mark is the definition's, for every controller.
    CommandController& other = app->getCommandController();
    select("Q");
    other.select(nullptr, cmd("Q"));
    ready("R"); // stops Q and clears the shared mark
    other.select(nullptr, cmd("R"));
    EXPECT_EQ(calls(), "Q.Unselected R.Selected R.NewInteraction(new) R.Start");
    other.select(nullptr, nullptr);

    // U has a state per document: each keeps its own mark.
    auto* otherWindow = show(doc);
    const tn::Reference<CommandInstance> u(new CommandInstance(new LoggingTool("U", log, true)));
    u->setInstanceState(new LoggingState(instance, &log, "one"));
    u->setInstanceState(new LoggingState(otherWindow->getDocumentInstance(), &log, "two"));
    select(u.get());
    otherWindow->selectCommand(u.get());
    ready("Q");
    otherWindow->selectCommand(cmd("Q"));
    EXPECT_EQ(calls(), "U.Stop two.Stop U.Unselected Q.Selected Q.NewInteraction(new) Q.Start");
}

TEST_F(ControllerTest, OneEndNoticeReturnsEveryControllerWhereTheToolIsCurrent)
{
    auto* otherWindow = show(doc);
    run("P T");
    otherWindow->selectCommand(cmd("Q"));
    otherWindow->selectCommand(cmd("T"));
    tool("T").finished();
    EXPECT_EQ(controller->getCurrentContinuousCommand(), cmd("P"));
    EXPECT_EQ(otherWindow->getCommandController().getCurrentContinuousCommand(), cmd("Q"));
}

} // namespace
