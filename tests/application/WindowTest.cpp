// Toolkit implementations, windows, panes and the window group of a document window.

#include "application/AppTestSupport.h"

#include <gmock/gmock.h>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using Events = std::vector<std::string>;

// A test window that can be bound to an implementation.
class BoundWindow : public TestWindow {
public:
    using Window::provideToolkitImpl;
};

// Logs the window signals it hears.
struct SignalLog {
    explicit SignalLog(Window* w)
    {
        tnRTB::connect(w->raisedSignal, &client, [this](Window*) { events.push_back("raised"); });
        tnRTB::connect(w->hiddenSignal, &client, [this](Window*) { events.push_back("hidden"); });
        tnRTB::connect(w->closedSignal, &client, [this](Window*) { events.push_back("closed"); });
    }
    Events events;
    tnRTB::SignalClient client;
};

using WindowTest = CountedTest;

TEST_F(WindowTest, ImplementationsAreCountedAndAnnounceTheirDeath)
{
    const int before = ToolkitImpl::numberOfActiveObjects();
    auto* impl = new FakeWindowImpl;
    EXPECT_EQ(ToolkitImpl::numberOfActiveObjects(), before + 1);
    ToolkitImpl* heard = nullptr;
    tnRTB::SignalClient client;
    tnRTB::connect(impl->implDestroyedSignal, &client, [&](ToolkitImpl* i) { heard = i; });
    {
        OutputCapture output(3);
        delete impl;
        EXPECT_EQ(output.diagnostics, "Destroying ToolkitImpl " + address(impl) + "\n");
    }
    EXPECT_EQ(heard, impl);
    EXPECT_EQ(ToolkitImpl::numberOfActiveObjects(), before);
    OutputCapture quiet(2); // a detail for verbosity three
    delete new FakeWindowImpl;
    EXPECT_TRUE(quiet.diagnostics.empty());
}

TEST_F(WindowTest, AWindowDrivesItsImplementationOrOnlyItsFlagAndSignals)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    SignalLog log(window.get());
    window->hideWindowAsPartOfGroup();
    EXPECT_TRUE(window->hiddenByGroup());
    window->raiseWindow();
    EXPECT_FALSE(window->hiddenByGroup());
    window->closeWindow();
    window->hideWindow();
    EXPECT_EQ(log.events, (Events{"hidden", "raised", "hidden"}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_THROW(window->selectCommand(nullptr), NullError);
    EXPECT_THROW(window->getCommandController(), NullError);

    Events calls;
    FakeWindowImpl impl(&calls);
    window->provideToolkitImpl(&impl);
    window->raiseWindow();
    EXPECT_TRUE(window->isVisible());
    window->hideWindow();
    window->closeWindow();
    EXPECT_EQ(calls, (Events{"impl.raise", "impl.hide", "impl.close"}));
    window->provideToolkitImpl(nullptr);
}

TEST_F(WindowTest, OnlyTheDeathOfTheBoundImplementationClosesTheWindowOnce)
{
    const tn::Reference<BoundWindow> window(new BoundWindow);
    SignalLog log(window.get());
    auto* replaced = new FakeWindowImpl;
    auto* impl = new FakeWindowImpl;
    window->provideToolkitImpl(replaced);
    window->provideToolkitImpl(impl);
    window->provideToolkitImpl(impl); // given twice, still one notice
    delete replaced;
    EXPECT_TRUE(log.events.empty());
    OutputCapture output(3);
    delete impl;
    EXPECT_EQ(window->getToolkitImpl(), nullptr);
    EXPECT_EQ(log.events, Events{"closed"});
    EXPECT_NE(output.diagnostics.find("Window toolkit impl destroyed: " + address(window.get()) + "\n"),
              std::string::npos);

    // A window that dies first is not told of its implementation.
    auto* later = new FakeWindowImpl;
    {
        const tn::Reference<BoundWindow> shortLived(new BoundWindow);
        shortLived->provideToolkitImpl(later);
    }
    EXPECT_EQ(later->implDestroyedSignal.getNumConnections(), 0);
    delete later;
}

TEST_F(WindowTest, APaneForgetsEveryWindowItWasGivenWhenThatWindowDies)
{
    const tn::Reference<HostPane> pane(new HostPane);
    EXPECT_EQ(pane->realizePane(), nullptr);
    tn::Reference<BoundWindow> first(new BoundWindow);
    const tn::Reference<BoundWindow> second(new BoundWindow);
    pane->setWindow(first);
    pane->setWindow(second);
    first = nullptr;
    EXPECT_EQ(pane->getWindow(), nullptr);
}

class WindowGroupTest : public ShownDocumentTest {
protected:
    void TearDown() override
    {
        // The application dies with its windows open; their widgets go
        // afterwards.
        app = nullptr;
        impls.clear();
        ShownDocumentTest::TearDown();
    }

    // A utility window of the group, named name and bound to an
    // implementation that logs into calls.
    UtilityWindow* utility(const char* name)
    {
        auto* u = new UtilityWindow(window);
        u->setName(CString(name));
        impls.push_back(std::make_unique<FakeWindowImpl>(&calls, name));
        u->setQtUtilityWindow(nullptr, impls.back().get());
        return u;
    }

    Events calls;
    std::vector<std::unique_ptr<FakeWindowImpl>> impls;
};

TEST_F(WindowGroupTest, UtilityWindowsJoinTheGroupOnce)
{
    EXPECT_EQ(window->getRefCount(), 1); // held by the instance
    EXPECT_THROW(HostDocumentWindow(nullptr), NullError);
    EXPECT_THROW(UtilityWindow(nullptr), NullError);
    EXPECT_THROW(window->addWindow(nullptr), NullError);

    std::vector<Window*> added;
    tnRTB::SignalClient client;
    tnRTB::connect(window->windowAddedSignal, &client, [&](Window* w) { added.push_back(w); });
    UtilityWindow* tools = utility("tools");
    UtilityWindow* layers = utility("layers");
    EXPECT_EQ(added, (std::vector<Window*>{tools, layers}));
    EXPECT_EQ(window->getWindow(1), layers);
    EXPECT_EQ(window->findWindow(CString("layers")), layers);
    EXPECT_EQ(window->findWindow(window), -1);
    EXPECT_THROW(window->getWindow(2), IndexError);
    EXPECT_THROW(window->addWindow(tools), DuplicateError);
    EXPECT_EQ(window->getNumWindows(), 2);
    EXPECT_EQ(&tools->getCommandController(), &instance->getCommandController());
}

TEST_F(WindowGroupTest, RaisingTheGroupBringsBackExactlyWhatItHid)
{
    UtilityWindow* u = utility("u");
    u->raiseWindow(); // no instance is active: it stays hidden
    EXPECT_EQ(calls, Events{"u.hide"});
    EXPECT_TRUE(u->hiddenByGroup());
    app->setActiveDocumentInstance(instance);
    UtilityWindow* hidden = utility("hidden");
    UtilityWindow* shown = utility("shown");
    window->raiseGroup();
    shown->raiseWindow();
    calls.clear();

    window->hideGroup();
    EXPECT_EQ(calls, (Events{"u.hide", "shown.hide"}));
    EXPECT_TRUE(shown->hiddenByGroup());
    EXPECT_FALSE(hidden->hiddenByGroup());
    calls.clear();
    SignalLog log(window);
    window->raiseWindow();
    EXPECT_EQ(calls, (Events{"u.raise", "shown.raise"}));
    EXPECT_EQ(log.events, Events{"raised"}); // the document window last
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_FALSE(shown->hiddenByGroup());
}

TEST_F(WindowGroupTest, AClosedUtilityWindowLeavesTheGroup)
{
    UtilityWindow* u = utility("u");
    const tn::Reference<UtilityWindow> held(utility("held"));
    utility("other");
    int destroyed = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(u->destroyedSignal, &client, [&](Entity*) { ++destroyed; });
    SignalLog log(held.get());
    impls[0].reset();
    EXPECT_EQ(destroyed, 1); // the group held the only reference
    impls[1].reset();
    EXPECT_EQ(log.events, Events{"closed"});
    EXPECT_EQ(std::pair(held->getRefCount(), window->getNumWindows()), std::pair(1, 1));
    EXPECT_EQ(window->findWindow(CString("u")), nullptr);

    // A notice for a stranger changes nothing; closing goes last first and
    // the windows leave when their widgets are destroyed.
    const tn::Reference<BoundWindow> stranger(new BoundWindow);
    EXPECT_THROW(window->childWindowClosed(stranger), ImplError);
    utility("last");
    window->closeUtilityWindows();
    EXPECT_EQ(calls, (Events{"last.close", "other.close"}));
    EXPECT_EQ(window->getNumWindows(), 2);
}

TEST_F(WindowGroupTest, ClosingTheDocumentWidgetClosesTheGroupAndTheInstance)
{
    utility("a")->setContent(tn::Reference<HostPane>(new HostPane));
    UtilityWindow* b = utility("b");
    const tn::Reference<UtilityWindow> heldUtility(b); // its widget outlives the document's
    const tn::Reference<DocumentInstance> heldInstance(instance);
    Events notices;
    tnRTB::SignalClient client;
    tnRTB::connect(instance->activeInstanceSignal, &client,
                   [&](DocumentInstance*, bool active) { notices.push_back(active ? "active" : "inactive"); });
    tnRTB::connect(window->destroyedSignal, &client, [&](Entity*) { notices.push_back("window freed"); });
    auto* impl = new FakeWindowImpl(&calls, "doc");
    window->setQtDocumentWindow(nullptr, impl);
    window->setQtDocumentWindow(nullptr, impl); // one close notice however often given
    OutputCapture output(3);
    delete impl;

    EXPECT_EQ(notices, (Events{"inactive", "window freed"}));
    EXPECT_EQ(calls, (Events{"a.close", "b.close"}));
    EXPECT_EQ(instance->getDocumentWindow(), nullptr);
    EXPECT_EQ(instance->getDocument(), nullptr); // the document had no other instance and died
    EXPECT_THAT(output.diagnostics, testing::ContainsRegex("Destroying ToolkitImpl .*Window toolkit impl destroyed: "
                                                           ".*Document window freed "));

    // The kept utility window ignores later notices of its widget.
    EXPECT_EQ(b->getDocumentWindow(), nullptr);
    impls.clear();
    EXPECT_EQ(b->getToolkitImpl(), nullptr);
    b->raiseWindow(); // without a document window it raises itself
}

TEST_F(WindowGroupTest, AUtilityWindowShowsAndPassesOnItsPane)
{
    UtilityWindow* u = utility("u");
    EXPECT_THROW(u->setContent(nullptr), NullError);
    const tn::Reference<HostPane> first(new HostPane);
    const tn::Reference<HostPane> second(new HostPane);
    u->setContent(first);
    EXPECT_EQ(first->getWindow(), u);
    EXPECT_EQ(first->getDocumentWindow(), window);
    MessageRecorder recorder(u);
    const tn::Reference<const Label> label(new Label("pane"));
    first->setLabel(label);
    u->setContent(second);
    EXPECT_EQ(first->getRefCount(), 1);
    first->setLabel(nullptr); // no longer passed on
    second->setLabel(label);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{u, Message::Forward}, {first.get(), Message::Label}},
                                                   {{u, Message::Forward}, {second.get(), Message::Label}}}));
}

} // namespace
