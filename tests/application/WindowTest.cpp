#include "application/AppTestSupport.h"

#include <tnUI/application/TestWindow.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Label.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using tnUI::DocumentInstance;
using tnUI::UtilityWindow;
using tnUI::Window;
using tnUITest::FakeWindowImpl;
using tnUITest::HostDocumentWindow;
using tnUITest::HostPane;

// A test window that can be bound to an implementation.
class BoundWindow : public tnUI::TestWindow {
public:
    using tnUI::Window::destroyedImpl;
    using tnUI::Window::provideToolkitImpl;
};

// Logs the window signals it hears.
struct SignalLog {
    explicit SignalLog(Window* w)
    {
        tnRTB::connect(w->raisedSignal, &client, [this](Window*) { events.push_back("raised"); });
        tnRTB::connect(w->hiddenSignal, &client, [this](Window*) { events.push_back("hidden"); });
        tnRTB::connect(w->closedSignal, &client, [this](Window*) { events.push_back("closed"); });
    }
    std::vector<std::string> events;
    tnRTB::SignalClient client;
};

class ToolkitImplTest : public tnUITest::CountedTest {};

TEST_F(ToolkitImplTest, ImplementationsAreCountedAndAnnounceTheirDeath)
{
    const int before = tnUI::ToolkitImpl::numberOfActiveObjects();
    auto* first = new FakeWindowImpl;
    auto* second = new FakeWindowImpl;
    EXPECT_EQ(tnUI::ToolkitImpl::numberOfActiveObjects(), before + 2);

    tnUI::ToolkitImpl* heard = nullptr;
    tnRTB::SignalClient client;
    tnRTB::connect(first->implDestroyedSignal, &client, [&](tnUI::ToolkitImpl* i) { heard = i; });
    tnUITest::OutputCapture output(3);
    const std::string line = "Destroying ToolkitImpl " + tnUITest::address(first) + "\n";
    delete first;
    EXPECT_EQ(heard, first);
    EXPECT_EQ(output.diagnostics, line);
    EXPECT_EQ(tnUI::ToolkitImpl::numberOfActiveObjects(), before + 1);
    delete second;
    EXPECT_EQ(tnUI::ToolkitImpl::numberOfActiveObjects(), before);
}

TEST_F(ToolkitImplTest, TheDestructionLineIsADetailForVerbosityThree)
{
    tnUITest::OutputCapture output(2);
    delete new FakeWindowImpl;
    EXPECT_TRUE(output.diagnostics.empty());
}

TEST_F(ToolkitImplTest, DumpsItsClassAndAddress)
{
    tnUITest::DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    const FakeWindowImpl impl;
    impl.dump(dump.file, 1);
    const auto lines = dump.lines();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0],
              tnUITest::dumpLine(1, 1, "ToolkitImpl tnUITest::FakeWindowImpl (ptr = " + tnUITest::ptr(&impl) + ")"));
}

class WindowTest : public tnUITest::CountedTest {};

TEST_F(WindowTest, AnUnboundWindowOnlyUpdatesItsFlagAndSignals)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    SignalLog log(window.get());
    EXPECT_FALSE(window->isVisible());
    window->hideWindowAsPartOfGroup();
    EXPECT_TRUE(window->hiddenByGroup());
    window->raiseWindow();
    EXPECT_FALSE(window->hiddenByGroup());
    window->closeWindow();
    window->hideWindow();
    EXPECT_EQ(log.events, (std::vector<std::string>{"hidden", "raised", "hidden"}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isDocumentWindow());
    EXPECT_FALSE(window->isUtilityWindow());
    EXPECT_EQ(window->getDocumentWindow(), nullptr);
}

TEST_F(WindowTest, ABoundWindowDrivesItsImplementation)
{
    std::vector<std::string> calls;
    FakeWindowImpl impl(&calls);
    const tn::Reference<BoundWindow> window(new BoundWindow);
    window->provideToolkitImpl(&impl);
    EXPECT_EQ(window->getToolkitImpl(), &impl);
    window->raiseWindow();
    EXPECT_TRUE(window->isVisible());
    window->hideWindow();
    EXPECT_FALSE(window->isVisible());
    window->closeWindow();
    EXPECT_EQ(calls, (std::vector<std::string>{"impl.raise", "impl.hide", "impl.close"}));
    window->provideToolkitImpl(nullptr);
}

TEST_F(WindowTest, TheDeathOfTheImplementationClosesTheWindowOnce)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    SignalLog log(window.get());
    auto* impl = new FakeWindowImpl;
    window->provideToolkitImpl(impl);
    window->provideToolkitImpl(impl); // given twice, still one notice
    tnUITest::OutputCapture output(3);
    delete impl;
    EXPECT_EQ(window->getToolkitImpl(), nullptr);
    EXPECT_EQ(log.events, (std::vector<std::string>{"closed"}));
    EXPECT_NE(output.diagnostics.find("Window toolkit impl destroyed: " + tnUITest::address(window.get()) + "\n"),
              std::string::npos);
}

TEST_F(WindowTest, OnlyTheBoundImplementationClosesTheWindow)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    SignalLog log(window.get());
    auto* replaced = new FakeWindowImpl;
    FakeWindowImpl current;
    window->provideToolkitImpl(replaced);
    window->provideToolkitImpl(&current);
    delete replaced;
    EXPECT_EQ(window->getToolkitImpl(), &current);
    EXPECT_TRUE(log.events.empty());
    window->provideToolkitImpl(nullptr);
}

TEST_F(WindowTest, AWindowThatDiesFirstIsNotToldOfItsImplementation)
{
    auto* impl = new FakeWindowImpl;
    {
        const tn::Reference<BoundWindow> window(new BoundWindow);
        window->provideToolkitImpl(impl);
    }
    EXPECT_EQ(impl->implDestroyedSignal.getNumConnections(), 0);
    delete impl;
}

TEST_F(WindowTest, SelectingNeedsACommandAndADocumentInstance)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    EXPECT_THROW(window->selectCommand(nullptr), tnUI::NullError);
    EXPECT_THROW(window->getCommandController(), tnUI::NullError);
}

TEST_F(WindowTest, ANewPaneHasNoWindowAndNoWidget)
{
    const tn::Reference<HostPane> pane(new HostPane);
    EXPECT_EQ(pane->getWindow(), nullptr);
    EXPECT_EQ(pane->getDocumentWindow(), nullptr);
    EXPECT_EQ(pane->realizePane(), nullptr);
}

TEST_F(WindowTest, APaneForgetsEveryWindowItWasGivenWhenThatWindowDies)
{
    const tn::Reference<HostPane> pane(new HostPane);
    tn::Reference<BoundWindow> first(new BoundWindow);
    const tn::Reference<BoundWindow> second(new BoundWindow);
    pane->setWindow(first);
    pane->setWindow(second);
    EXPECT_EQ(pane->getWindow(), second.get());
    first = nullptr;
    EXPECT_EQ(pane->getWindow(), nullptr);
}

class WindowGroupTest : public tnUITest::ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        doc = document("doc");
        window = show(doc);
        instance = window->getDocumentInstance();
    }
    void TearDown() override
    {
        // The application dies with its windows open; their widgets go
        // afterwards.
        app = nullptr;
        impls.clear();
        ApplicationTest::TearDown();
    }

    // A utility window of the group, named name and bound to an
    // implementation that logs into calls.
    UtilityWindow* utility(const char* name)
    {
        auto* u = new UtilityWindow(window);
        u->setName(tnString::CString(name));
        impls.push_back(std::make_unique<FakeWindowImpl>(&calls, name));
        u->setQtUtilityWindow(nullptr, impls.back().get());
        return u;
    }

    tnUI::Document* doc = nullptr;
    HostDocumentWindow* window = nullptr;
    DocumentInstance* instance = nullptr;
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<FakeWindowImpl>> impls;
};

TEST_F(WindowGroupTest, TheInstanceHoldsItsDocumentWindow)
{
    EXPECT_EQ(instance->getDocumentWindow(), window);
    EXPECT_EQ(window->getRefCount(), 1);
    EXPECT_EQ(window->getDocument(), doc);
    EXPECT_EQ(window->getApplication(), app.get());
    EXPECT_TRUE(window->isDocumentWindow());
    EXPECT_EQ(window->getDocumentWindow(), window);
    EXPECT_EQ(&window->getCommandController(), &instance->getCommandController());
    EXPECT_TRUE(window->canCloseWindow());
    window->realizeWindow();
    EXPECT_EQ(window->realized, 1);
}

TEST_F(WindowGroupTest, WindowsNeedTheirOwners)
{
    EXPECT_THROW(HostDocumentWindow(nullptr), tnUI::NullError);
    EXPECT_THROW(UtilityWindow(nullptr), tnUI::NullError);
    EXPECT_THROW(window->addWindow(nullptr), tnUI::NullError);
}

TEST_F(WindowGroupTest, UtilityWindowsJoinTheGroupOnce)
{
    std::vector<Window*> added;
    tnRTB::SignalClient client;
    tnRTB::connect(window->windowAddedSignal, &client, [&](Window* w) { added.push_back(w); });
    UtilityWindow* tools = utility("tools");
    UtilityWindow* layers = utility("layers");
    EXPECT_EQ(added, (std::vector<Window*>{tools, layers}));
    EXPECT_EQ(window->getNumWindows(), 2);
    EXPECT_EQ(window->getWindow(1), layers);
    EXPECT_EQ(window->findWindow(tnString::CString("layers")), layers);
    EXPECT_EQ(window->findWindow(tnString::CString("none")), nullptr);
    EXPECT_EQ(window->findWindow(tools), 0);
    EXPECT_EQ(window->findWindow(window), -1);
    EXPECT_THROW(window->getWindow(2), tnUI::IndexError);
    EXPECT_THROW(window->getWindow(-1), tnUI::IndexError);
    EXPECT_THROW(window->addWindow(tools), tnUI::DuplicateError);
    EXPECT_EQ(window->getNumWindows(), 2);
    EXPECT_EQ(tools->getDocumentWindow(), window);
    EXPECT_TRUE(tools->isUtilityWindow());
    EXPECT_EQ(&tools->getCommandController(), &instance->getCommandController());
}

TEST_F(WindowGroupTest, ANewUtilityWindowHasTheDefaultFlags)
{
    UtilityWindow* u = utility("u");
    EXPECT_TRUE(u->getIsFixedSize());
    EXPECT_FALSE(u->getAllowPeek());
    EXPECT_FALSE(u->getIsPeeking());
    u->setIsFixedSize(false);
    u->setAllowPeek(true);
    u->setPeek(true);
    EXPECT_FALSE(u->getIsFixedSize());
    EXPECT_TRUE(u->getAllowPeek());
    EXPECT_TRUE(u->getIsPeeking());
    EXPECT_TRUE(u->getInternalState().isEmpty());
    u->setInternalState(tnString::CString("state"));
    EXPECT_TRUE(u->getInternalState().isEmpty());

    std::vector<Window*> dropped;
    tnRTB::SignalClient client;
    tnRTB::connect(u->droppedSignal, &client, [&](Window* w) { dropped.push_back(w); });
    u->dropWindow();
    EXPECT_EQ(dropped, std::vector<Window*>{u});
}

TEST_F(WindowGroupTest, RaisingTheGroupBringsBackExactlyWhatItHid)
{
    app->setActiveDocumentInstance(instance);
    UtilityWindow* shown = utility("shown");
    UtilityWindow* hidden = utility("hidden");
    UtilityWindow* alsoShown = utility("alsoShown");
    shown->raiseWindow();
    alsoShown->raiseWindow();
    calls.clear();

    window->hideGroup();
    EXPECT_EQ(calls, (std::vector<std::string>{"shown.hide", "alsoShown.hide"}));
    EXPECT_TRUE(shown->hiddenByGroup());
    EXPECT_FALSE(hidden->hiddenByGroup());

    calls.clear();
    SignalLog log(window);
    window->raiseWindow();
    EXPECT_EQ(calls, (std::vector<std::string>{"shown.raise", "alsoShown.raise"}));
    EXPECT_EQ(log.events, std::vector<std::string>{"raised"}); // the document window last
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(shown->hiddenByGroup());
    EXPECT_FALSE(alsoShown->hiddenByGroup());
}

TEST_F(WindowGroupTest, ToolWindowsOfAnInactiveInstanceStayHidden)
{
    UtilityWindow* u = utility("u");
    u->raiseWindow(); // no instance is active
    EXPECT_EQ(calls, std::vector<std::string>{"u.hide"});
    EXPECT_TRUE(u->hiddenByGroup());

    app->setActiveDocumentInstance(instance);
    calls.clear();
    window->raiseGroup();
    EXPECT_EQ(calls, std::vector<std::string>{"u.raise"});
    EXPECT_FALSE(u->hiddenByGroup());
}

TEST_F(WindowGroupTest, AClosedUtilityWindowLeavesTheGroup)
{
    const int live = tnUI::Entity::numberOfActiveObjects();
    UtilityWindow* u = utility("u");
    utility("other");
    int destroyed = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(u->destroyedSignal, &client, [&](tnUI::Entity*) { ++destroyed; });
    impls[0].reset();
    EXPECT_EQ(destroyed, 1); // the group held the only reference
    EXPECT_EQ(window->getNumWindows(), 1);
    EXPECT_EQ(window->findWindow(tnString::CString("u")), nullptr);
    EXPECT_EQ(tnUI::Entity::numberOfActiveObjects(), live + 2); // "other" and its name
}

TEST_F(WindowGroupTest, AHeldUtilityWindowHearsItsCloseOnce)
{
    UtilityWindow* u = utility("u");
    const tn::Reference<UtilityWindow> held(u);
    SignalLog log(u);
    impls[0].reset();
    EXPECT_EQ(log.events, std::vector<std::string>{"closed"});
    EXPECT_EQ(window->getNumWindows(), 0);
    EXPECT_EQ(held->getRefCount(), 1);
}

TEST_F(WindowGroupTest, AChildNoticeForAStrangerChangesNothing)
{
    utility("u");
    const tn::Reference<BoundWindow> stranger(new BoundWindow);
    EXPECT_THROW(window->childWindowClosed(stranger), tnUI::ImplError);
    EXPECT_EQ(window->getNumWindows(), 1);
}

TEST_F(WindowGroupTest, UtilityWindowsCloseLastFirst)
{
    utility("a");
    utility("b");
    utility("c");
    window->closeUtilityWindows();
    EXPECT_EQ(calls, (std::vector<std::string>{"c.close", "b.close", "a.close"}));
    EXPECT_EQ(window->getNumWindows(), 3); // they leave when their widgets are destroyed
}

TEST_F(WindowGroupTest, ClosingTheDocumentWidgetClosesTheGroupAndTheInstance)
{
    utility("a")->setContent(tn::Reference<HostPane>(new HostPane));
    utility("b");
    const tn::Reference<DocumentInstance> heldInstance(instance);
    std::vector<std::string> notices;
    tnRTB::SignalClient client;
    tnRTB::connect(instance->activeInstanceSignal, &client,
                   [&](DocumentInstance*, bool active) { notices.push_back(active ? "active" : "inactive"); });
    tnRTB::connect(window->destroyedSignal, &client, [&](tnUI::Entity*) { notices.push_back("window freed"); });

    auto* impl = new FakeWindowImpl(&calls, "doc");
    window->setQtDocumentWindow(nullptr, impl);
    window->setQtDocumentWindow(nullptr, impl); // one close notice however often given
    tnUITest::OutputCapture output(3);
    delete impl;

    EXPECT_EQ(notices, (std::vector<std::string>{"inactive", "window freed"}));
    EXPECT_EQ(calls, (std::vector<std::string>{"a.close", "b.close"}));
    EXPECT_EQ(instance->getDocumentWindow(), nullptr);
    EXPECT_EQ(instance->getDocument(), nullptr); // the document had no other instance and died
    EXPECT_EQ(app->getNumDocuments(), 0);
    const std::string& text = output.diagnostics;
    const auto implLine = text.find("Destroying ToolkitImpl ");
    const auto closedLine = text.find("Window toolkit impl destroyed: ");
    const auto freedLine = text.find("Document window freed ");
    EXPECT_NE(implLine, std::string::npos);
    EXPECT_LT(implLine, closedLine);
    EXPECT_LT(closedLine, freedLine);
    EXPECT_NE(freedLine, std::string::npos);
}

TEST_F(WindowGroupTest, TheUtilityWindowsOfAClosedGroupIgnoreLaterNotices)
{
    // The host keeps a utility window whose widget outlives the document's.
    UtilityWindow* u = utility("kept");
    const tn::Reference<UtilityWindow> held(u);
    auto* impl = new FakeWindowImpl;
    window->setQtDocumentWindow(nullptr, impl);
    delete impl;
    EXPECT_EQ(u->getDocumentWindow(), nullptr); // the document window died
    impls.clear();                              // the utility window's widget goes afterwards
    EXPECT_EQ(u->getToolkitImpl(), nullptr);
    u->raiseWindow(); // without a document window it raises itself
}

TEST_F(WindowGroupTest, AHeldDocumentWindowForgetsItsDeadInstance)
{
    const tn::Reference<HostDocumentWindow> held(window);
    doc->removeInstance(instance);
    EXPECT_EQ(held->getDocumentInstance(), nullptr);
    EXPECT_EQ(held->getDocument(), nullptr);
    EXPECT_EQ(held->getApplication(), nullptr);
    EXPECT_THROW(held->getCommandController(), tnUI::NullError);
}

TEST_F(WindowGroupTest, AUtilityWindowShowsAndPassesOnItsPane)
{
    UtilityWindow* u = utility("u");
    EXPECT_THROW(u->setContent(nullptr), tnUI::NullError);
    const tn::Reference<HostPane> first(new HostPane);
    const tn::Reference<HostPane> second(new HostPane);
    u->setContent(first);
    EXPECT_EQ(u->getWindowPane(), first.get());
    EXPECT_EQ(first->getWindow(), u);
    EXPECT_EQ(first->getDocumentWindow(), window);

    tnUITest::MessageRecorder recorder(u);
    const tn::Reference<const tnUI::Label> label(new tnUI::Label("pane"));
    first->setLabel(label);
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0], (tnUITest::Chain{{u, tnUI::Message::Forward}, {first.get(), tnUI::Message::Label}}));

    u->setContent(second);
    EXPECT_EQ(first->getRefCount(), 1);
    first->setLabel(nullptr); // no longer passed on
    second->setLabel(label);
    EXPECT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1][1].entity, second.get());
}

TEST_F(WindowGroupTest, DumpsFollowTheGroup)
{
    UtilityWindow* u = utility("u");
    const tn::Reference<HostPane> pane(new HostPane);
    u->setContent(pane);
    tnUITest::DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    window->dump(dump.file, 0, nullptr);
    const auto lines = dump.lines();
    std::string text;
    for (const auto& line : lines)
        text += line.substr(7) + "\n";
    char instanceLine[64];
    std::snprintf(instanceLine, sizeof instanceLine, "Document instance 0x%lx\n",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(instance)));
    EXPECT_NE(text.find(instanceLine), std::string::npos) << text;
    EXPECT_NE(text.find("Associated windows = 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ToolkitImpl tnUITest::FakeWindowImpl"), std::string::npos) << text;
    // The utility window refers back to the document window already written
    // and shows its pane, which refers back to the utility window.
    EXPECT_NE(text.find("\"document window\""), std::string::npos) << text;
    EXPECT_NE(text.find("written on line 1"), std::string::npos) << text;
    EXPECT_NE(text.find("\"pane\""), std::string::npos) << text;
}

} // namespace
