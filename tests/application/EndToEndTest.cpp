// A whole host session: an application with two documents, environments,
// windows bound to stand-in widgets, tools selected and fed a drag with a
// momentary command in the middle, then everything closed and destroyed.

#include "application/AppTestSupport.h"
#include "commands/CommandTestSupport.h"

#include <tnUI/application/Environment.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/menus/CommandGroup.h>

#include <gtest/gtest.h>

namespace {

using tnString::CString;
using tnUI::CommandInstance;
using tnUITest::FakeWindowImpl;
using tnUITest::HostDocumentWindow;
using tnUITest::joined;
using tnUITest::Log;

class EndToEndTest : public tnUITest::CountedTest {
protected:
    Log log;
};

TEST_F(EndToEndTest, AHostSessionFromStartToEnd)
{
    tn::Reference<tnUI::Application> app(new tnUI::Application);

    // Commands, classes and environments.
    const tn::Reference<tnUITest::LoggingClass> painting(new tnUITest::LoggingClass("painting", log));
    const tn::Reference<tnUITest::LoggingClass> editing(new tnUITest::LoggingClass("editing", log));
    auto* brush = new tnUITest::LoggingTool("brush", log);
    auto* smudge = new tnUITest::LoggingTool("smudge", log);
    auto* flip = new tnUITest::LoggingMomentary("flip", log);
    brush->setClass(painting);
    smudge->setClass(painting);
    flip->setClass(editing);
    brush->setAllMotionEvents(true);
    app->addCommand(brush);
    app->addCommand(smudge);
    app->addCommand(flip);
    auto* paint = new tnUI::Environment(CString("paint"), tnString::IString("Paint"));
    auto* sculpt = new tnUI::Environment(CString("sculpt"), tnString::IString("Sculpt"));
    app->addEnvironment(paint);
    app->addEnvironment(sculpt);
    auto* brushTool = new CommandInstance(brush);
    auto* smudgeTool = new CommandInstance(smudge);
    auto* flipCommand = new CommandInstance(flip);
    for (CommandInstance* ci : {brushTool, smudgeTool, flipCommand})
        paint->getCommandGroup()->appendItem(ci);
    EXPECT_TRUE(paint->isCommandInEnvironment(CString("flip")));

    // Two documents, each shown in a window whose widget the host deletes
    // as soon as it is closed; the first has a tool window too.
    auto* docA = new tnUI::Document(app);
    docA->setName(CString("a"));
    auto* docB = new tnUI::Document(app);
    docB->setName(CString("b"));
    auto* windowA = new HostDocumentWindow(new tnUI::DocumentInstance(docA));
    auto* windowB = new HostDocumentWindow(new tnUI::DocumentInstance(docB));
    windowA->setQtDocumentWindow(nullptr, new FakeWindowImpl(&log, "widgetA", true));
    windowB->setQtDocumentWindow(nullptr, new FakeWindowImpl(&log, "widgetB", true));
    auto* tools = new tnUI::UtilityWindow(windowA);
    tools->setQtUtilityWindow(nullptr, new FakeWindowImpl(&log, "widgetTools", true));
    tools->setContent(tn::Reference<tnUITest::HostPane>(new tnUITest::HostPane));
    tnUI::DocumentInstance* a = windowA->getDocumentInstance();
    tnUI::DocumentInstance* b = windowB->getDocumentInstance();
    tnUITest::RecordingHost hostA(a->getCommandController(), log);
    tnUITest::RecordingHost hostB(b->getCommandController(), log);
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
    tnUI::CommandController& controllerA = windowA->getCommandController();
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
