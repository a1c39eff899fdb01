// A whole host session: documents, environments, windows on stand-in
// widgets and tools driven by events, then everything closed and destroyed.

#include "commands/CommandTestSupport.h"

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using tnString::IString;
using EndToEndTest = CountedTest;

TEST_F(EndToEndTest, AHostSessionFromStartToEnd)
{
    Log log;
    tn::Reference<Application> app(new Application);

    // Commands of two classes, registered and offered in the first of two
    // environments.
    const tn::Reference<LoggingClass> painting(new LoggingClass("painting", log));
    const tn::Reference<LoggingClass> editing(new LoggingClass("editing", log));
    auto* paint = new Environment(CString("paint"), IString("Paint"));
    auto* sculpt = new Environment(CString("sculpt"), IString("Sculpt"));
    app->addEnvironment(paint);
    app->addEnvironment(sculpt);
    const auto offer = [&](CommandDefn* d, CommandClass* c) {
        d->setClass(c);
        app->addCommand(d);
        auto* ci = new CommandInstance(d);
        paint->getCommandGroup()->appendItem(ci);
        return ci;
    };
    auto* brush = new LoggingTool("brush", log);
    brush->setAllMotionEvents(true);
    CommandInstance* brushTool = offer(brush, painting);
    CommandInstance* smudgeTool = offer(new LoggingTool("smudge", log), painting);
    CommandInstance* flipCommand = offer(new LoggingMomentary("flip", log), editing);
    EXPECT_TRUE(paint->isCommandInEnvironment(CString("flip")));

    // Two documents, each shown in a window whose widget the host deletes
    // as soon as it is closed; the first has a tool window too.
    auto* windowA = new HostDocumentWindow(new DocumentInstance(new Document(app)));
    auto* windowB = new HostDocumentWindow(new DocumentInstance(new Document(app)));
    windowA->setQtDocumentWindow(nullptr, new FakeWindowImpl(&log, "widgetA", true));
    windowB->setQtDocumentWindow(nullptr, new FakeWindowImpl(&log, "widgetB", true));
    auto* tools = new UtilityWindow(windowA);
    tools->setQtUtilityWindow(nullptr, new FakeWindowImpl(&log, "widgetTools", true));
    tools->setContent(tn::Reference<HostPane>(new HostPane));
    DocumentInstance* a = windowA->getDocumentInstance();
    DocumentInstance* b = windowB->getDocumentInstance();
    RecordingHost hostA(a->getCommandController(), log);
    RecordingHost hostB(b->getCommandController(), log);
    app->setActiveDocumentInstance(a);
    app->setActiveEnvironment(paint);
    EXPECT_EQ(a->getEnvironment(), paint);
    EXPECT_EQ(b->getEnvironment(), paint); // the first environment

    // The brush on document a, selected the way a pop-up menu's choice is.
    log.clear();
    app->selectCommand(brushTool);
    EXPECT_EQ(joined(log, true), "[SelectCommand +painting painting.classSelected(brush) [Selected brush.Selected "
                                 "]Selected [NewInteraction brush.NewInteraction(new) ]NewInteraction [Start "
                                 "brush.Start ]Start ]SelectCommand");
    EXPECT_EQ(a->getCommandController().getCurrentContinuousCommand(), brushTool);

    // A drag on a's controller reaches the brush; a momentary command of
    // another class in the middle runs between its stop and start.
    log.clear();
    CommandController& controllerA = windowA->getCommandController();
    auto press = tnUITest::press(10);
    controllerA.forwardEvent(press);
    windowA->selectCommand(flipCommand);
    EXPECT_EQ(joined(log), "brush.Mouse press 10 brush.Mouse release 10 brush.Stop -painting "
                           "painting.classUnselected(flip) +editing editing.classSelected(flip) flip.Execute -editing "
                           "editing.classUnselected(flip) +painting painting.classSelected(flip) brush.Start");

    // Document b has its own controller and tool.
    app->setActiveDocumentInstance(b);
    app->selectCommand(smudgeTool);
    EXPECT_EQ(b->getCommandController().getCurrentContinuousCommand(), smudgeTool);
    EXPECT_EQ(a->getCommandController().getCurrentContinuousCommand(), brushTool);

    // An environment command switches only its own instance.
    windowB->selectCommand(static_cast<CommandInstance*>(b->getEnvironmentCommands()->getElement(1)));
    EXPECT_EQ(b->getEnvironment(), sculpt);
    EXPECT_EQ(a->getEnvironment(), paint);
    EXPECT_EQ(app->getActiveEnvironment(), paint);

    // Closing: every widget goes, the instances leave their documents, the
    // documents leave the application, and the host hears the exit once.
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    log.clear();
    app->requestExit();
    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_EQ(log, (Log{"widgetB.close", "widgetA.close", "widgetTools.close"}));
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(hostA.depthMismatches + hostB.depthMismatches, 0);
    app = nullptr;
}

} // namespace
