// A whole host session: an application with two documents, environments,
// windows bound to stand-in widgets, tools selected and fed a drag with a
// momentary command in the middle, then everything closed and destroyed.

#include "application/AppTestSupport.h"

#include <tnUI/application/Environment.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandClass.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/commands/ContinuousCommandDefn.h>
#include <tnUI/menus/CommandGroup.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tnString::CString;
using tnUI::CallInfo;
using tnUI::CommandController;
using tnUI::CommandInstance;
using tnUITest::FakeWindowImpl;
using tnUITest::HostDocumentWindow;

using Log = std::vector<std::string>;

class LoggingClass : public tnUI::CommandClass {
public:
    LoggingClass(const char* name, Log* log) : m_log(log) { setName(CString(name)); }
    void classSelected(CallInfo*) override { m_log->push_back(std::string(nameAsChar()) + ".selected"); }
    void classUnselected(CallInfo*) override { m_log->push_back(std::string(nameAsChar()) + ".unselected"); }

private:
    Log* m_log;
};

// A tool that keeps its logic in the definition and logs every call, with
// the document it was made for.
class LoggingTool : public tnUI::ContinuousCommandDefn {
public:
    LoggingTool(const char* name, Log* log) : ContinuousCommandDefn(CString(name)), m_log(log) {}

    void commandSelected(CallInfo& c) override { record(c, "selected"); }
    void newInteraction(CallInfo& c, bool isNew) override { record(c, isNew ? "new" : "again"); }
    void commandUnselected(CallInfo& c) override { record(c, "unselected"); }
    void start(CallInfo& c) override { record(c, "start"); }
    void stop(CallInfo& c) override { record(c, "stop"); }
    void handleEvent(CallInfo& c, tnUI::MouseEvent& e) override
    {
        record(c, "mouse" + std::to_string(static_cast<int>(e.getButton())));
    }
    void handleEvent(CallInfo& c, tnUI::KeyEvent&) override { record(c, "key"); }
    void handleEvent(CallInfo& c, tnUI::WheelEvent&) override { record(c, "wheel"); }
    void handleEvent(CallInfo& c, tnUI::TabletEvent&) override { record(c, "tablet"); }

private:
    void record(CallInfo& c, const std::string& what)
    {
        const tnUI::Document* d = c.getDocument();
        m_log->push_back(std::string(nameAsChar()) + "." + what + "@" + (d ? d->nameAsChar() : "-"));
    }

    Log* m_log;
};

class LoggingMomentary : public tnUI::MomentaryCommandDefn {
public:
    LoggingMomentary(const char* name, Log* log) : MomentaryCommandDefn(CString(name)), m_log(log) {}
    void execute(CallInfo&) override { m_log->push_back(std::string(nameAsChar()) + ".execute"); }

private:
    Log* m_log;
};

// The host's side: it logs the client notices (before each call only) and
// class changes of the controllers it watches.
class RecordingHost {
public:
    explicit RecordingHost(Log* log) : m_log(log) {}

    void watch(CommandController& controller)
    {
        tnRTB::connect(controller.clientCallSignal, &m_client,
                       [this, &controller](CommandController::CallType t, CallInfo&, bool before) {
                           if (!before)
                               return;
                           EXPECT_TRUE(controller.isClientCallActive());
                           m_log->push_back(std::string("<") + tnUI::enumName(t) + ">");
                       });
        tnRTB::connect(controller.commandClassSignal, &m_client, [this](tnUI::CommandClass* c, bool on) {
            m_log->push_back(std::string("class ") + c->nameAsChar() + (on ? " on" : " off"));
        });
    }

private:
    Log* m_log;
    tnRTB::SignalClient m_client;
};

tnUI::MouseEvent mouse(double x, double y, tnUI::MouseEvent::Button button, int clicks)
{
    const tnLinear::Point2 p(x, y);
    return tnUI::MouseEvent(p, p, p, button, clicks, 0, button >= tnUI::MouseEvent::Left ? 1 : 0);
}

class EndToEndTest : public tnUITest::CountedTest {
protected:
    Log log;
};

TEST_F(EndToEndTest, AHostSessionFromStartToEnd)
{
    tn::Reference<tnUI::Application> app(new tnUI::Application);

    // Commands, classes and environments.
    const tn::Reference<LoggingClass> painting(new LoggingClass("painting", &log));
    const tn::Reference<LoggingClass> editing(new LoggingClass("editing", &log));
    auto* brush = new LoggingTool("brush", &log);
    auto* smudge = new LoggingTool("smudge", &log);
    auto* flip = new LoggingMomentary("flip", &log);
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
    paint->getCommandGroup()->appendItem(brushTool);
    paint->getCommandGroup()->appendItem(smudgeTool);
    paint->getCommandGroup()->appendItem(flipCommand);
    paint->setInitialCommand(CString("brush"));
    EXPECT_TRUE(paint->isCommandInEnvironment(CString("flip")));

    // Two documents, each shown in a window whose widget the host deletes
    // as soon as it is closed; the first has a tool window too.
    auto* docA = new tnUI::Document(app);
    docA->setName(CString("a"));
    auto* docB = new tnUI::Document(app);
    docB->setName(CString("b"));
    auto* windowA = new HostDocumentWindow(new tnUI::DocumentInstance(docA));
    auto* windowB = new HostDocumentWindow(new tnUI::DocumentInstance(docB));
    auto* implA = new FakeWindowImpl(&log, "widgetA");
    auto* implB = new FakeWindowImpl(&log, "widgetB");
    implA->closeDestroys = implB->closeDestroys = true;
    windowA->setQtDocumentWindow(nullptr, implA);
    windowB->setQtDocumentWindow(nullptr, implB);
    auto* tools = new tnUI::UtilityWindow(windowA);
    auto* toolsImpl = new FakeWindowImpl(&log, "widgetTools");
    toolsImpl->closeDestroys = true;
    tools->setQtUtilityWindow(nullptr, toolsImpl);
    tools->setContent(tn::Reference<tnUITest::HostPane>(new tnUITest::HostPane));

    tnUI::DocumentInstance* a = windowA->getDocumentInstance();
    tnUI::DocumentInstance* b = windowB->getDocumentInstance();
    RecordingHost host(&log);
    host.watch(a->getCommandController());
    host.watch(b->getCommandController());

    app->setActiveDocumentInstance(a);
    app->setActiveEnvironment(paint);
    EXPECT_EQ(a->getEnvironment(), paint);
    EXPECT_EQ(b->getEnvironment(), paint); // the first environment

    // The brush on document a, selected the way a pop-up menu's choice is.
    log.clear();
    app->selectCommand(brushTool);
    EXPECT_EQ(log, (Log{"<SelectCommand>", "class painting on", "painting.selected", "<Selected>", "brush.selected@a",
                        "<NewInteraction>", "brush.new@a", "<Start>", "brush.start@a"}));
    EXPECT_EQ(a->getCommandController().getCurrentContinuousCommand(), brushTool);
    EXPECT_FALSE(a->getCommandController().isClientCallActive());

    // A drag, interrupted by a momentary command of another class.
    log.clear();
    CommandController& controllerA = windowA->getCommandController();
    auto press = mouse(10, 10, tnUI::MouseEvent::Left, 1);
    controllerA.forwardEvent(press);
    auto drag = mouse(20, 15, tnUI::MouseEvent::Left, 0);
    controllerA.forwardEvent(drag);
    windowA->selectCommand(flipCommand);
    auto rest = mouse(30, 20, tnUI::MouseEvent::Left, 0);
    controllerA.forwardEvent(rest);
    auto release = mouse(30, 20, tnUI::MouseEvent::ButtonUp, 0);
    controllerA.forwardEvent(release);
    auto next = mouse(40, 40, tnUI::MouseEvent::Left, 1);
    controllerA.forwardEvent(next);
    EXPECT_EQ(log, (Log{"<MouseEvent>",
                        "brush.mouse2@a",
                        "<MouseEvent>",
                        "brush.mouse2@a",
                        "<SelectCommand>",
                        "<MouseEvent>",
                        "brush.mouse1@a", // the drag's end, built
                        "<Stop>",
                        "brush.stop@a",
                        "class painting off",
                        "painting.unselected",
                        "class editing on",
                        "editing.selected",
                        "<Execute>",
                        "flip.execute",
                        "class editing off",
                        "editing.unselected",
                        "class painting on",
                        "painting.selected",
                        "<Start>",
                        "brush.start@a",
                        "<MouseEvent>",
                        "brush.mouse0@a", // rewritten
                        "<MouseEvent>",
                        "brush.mouse1@a",
                        "<MouseEvent>",
                        "brush.mouse2@a"}));
    EXPECT_EQ(rest.getButton(), tnUI::MouseEvent::NoButton); // the caller's event was rewritten
    EXPECT_EQ(next.getButton(), tnUI::MouseEvent::Left);

    // Document b has its own controller and tool.
    log.clear();
    app->setActiveDocumentInstance(b);
    app->selectCommand(smudgeTool);
    EXPECT_EQ(b->getCommandController().getCurrentContinuousCommand(), smudgeTool);
    EXPECT_EQ(a->getCommandController().getCurrentContinuousCommand(), brushTool);
    EXPECT_EQ(log.back(), "smudge.start@b");

    // An environment command switches only its own instance.
    auto* toSculpt = dynamic_cast<CommandInstance*>(b->getEnvironmentCommands()->getElement(1));
    ASSERT_NE(toSculpt, nullptr);
    windowB->selectCommand(toSculpt);
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
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(exits, 1);

    app = nullptr;
}

} // namespace
