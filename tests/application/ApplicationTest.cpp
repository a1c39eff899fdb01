// The application: singleton, registries, active instance and environment, closing and teardown.

#include "application/AppTestSupport.h"

#include <functional>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using tnString::IString;
using Events = std::vector<std::string>;

tn::Reference<TestCommandDefn> command(const char* name)
{
    return tn::Reference<TestCommandDefn>(new TestCommandDefn(CString(name)));
}

template <class T>
tn::Reference<T> named(const char* name)
{
    tn::Reference<T> object(new T);
    if (name)
        object->setName(CString(name));
    return object;
}

tn::Reference<Environment> environment(const char* name)
{
    return tn::Reference<Environment>(new Environment(CString(name), IString()));
}

// Events "<name>:true" / "<name>:false" of a signal that turns something on
// and off.
template <class Signal>
void logOnOff(Signal& signal, tnRTB::SignalClient& client, Events& events, const std::string& name)
{
    tnRTB::connect(signal, &client,
                   [&events, name](auto*, bool on) { events.push_back(name + (on ? ":true" : ":false")); });
}

using SingletonTest = CountedTest;

TEST_F(SingletonTest, ThereIsOneApplicationAtATimeWithItsFilterManager)
{
    EXPECT_THROW(Application::getInstance(), ImplError);
    EXPECT_EQ(Application::findInstance(), nullptr);
    EXPECT_THROW(EventFilterManager::getInstance(), ImplError);
    {
        const tn::Reference<Application> app(new Application);
        EXPECT_EQ(&Application::getInstance(), app.get());
        EXPECT_NO_THROW(EventFilterManager::getInstance());
        EXPECT_THROW(Application second, ImplError);
        EXPECT_EQ(Application::findInstance(), app.get());
    }
    EXPECT_EQ(Application::findInstance(), nullptr);
    EXPECT_THROW(EventFilterManager::getInstance(), ImplError);
    EXPECT_THROW(Application::getResourceFile(IString("x")), ImplError);
}

// The three registries behave alike; make(name) makes an object for one.
template <class T, class Make>
void checkRegistry(const char* what, Application& app, Make make, void (Application::*add)(T*),
                   T* (Application::*get)(const CString&) const, int (Application::*count)() const)
{
    SCOPED_TRACE(what);
    const auto first = make("shared"), twin = make("shared");
    (app.*add)(first.get());
    (app.*add)(make("other").get());
    EXPECT_THROW((app.*add)(twin.get()), DuplicateError);
    EXPECT_THROW((app.*add)(nullptr), NullError);
    EXPECT_THROW((app.*add)(make(nullptr).get()), NullError);
    EXPECT_THROW((app.*add)(make("").get()), NullError);
    EXPECT_EQ((app.*count)(), 2);
    EXPECT_EQ((app.*get)(CString("shared")), first.get());
    EXPECT_EQ((app.*get)(CString("none")), nullptr);
    EXPECT_EQ(first->getRefCount(), 2);
    EXPECT_EQ(twin->getRefCount(), 1);
}

TEST_F(ApplicationTest, RegistriesKeepOneObjectPerName)
{
    using A = Application;
    checkRegistry("commands", *app, command, &A::addCommand, &A::getCommand, &A::getNumCommands);
    checkRegistry("values", *app, named<BoolValue>, &A::addValue, &A::getValue, &A::getNumValues);
    checkRegistry("menus", *app, named<CommandGroup>, &A::addMenu, &A::getMenu, &A::getNumMenus);
    // Each registry has its own names: the menu bar must be a registered menu.
    EXPECT_THROW(app->setMenuBar(CString("main")), ImplError);
    app->setMenuBar(CString("shared"));
    EXPECT_THROW(app->setMenuBar(CString("main")), ImplError);
    EXPECT_EQ(app->getMenuBar(), app->getMenu(CString("shared")));
    EXPECT_THROW(ApplicationCommandIterator(nullptr), NullError);
    EXPECT_THROW(ApplicationValueIterator(nullptr), NullError);
    EXPECT_THROW(ApplicationMenuIterator(nullptr), NullError);
}

TEST_F(ApplicationTest, DocumentsAndEnvironmentsAreListedInTheOrderMade)
{
    Document* unnamed = document();
    Document* a = document("a");
    Document* a2 = document("a");
    EXPECT_EQ(app->findDocument(CString("a")), 1);
    EXPECT_EQ(app->findDocument(CString("")), -1); // an unnamed document never matches
    EXPECT_EQ(app->getDocument(0), unnamed);
    EXPECT_THROW(app->addDocument(a), DuplicateError);
    EXPECT_THROW(app->addDocument(nullptr), NullError);
    EXPECT_THROW(app->getDocument(3), IndexError);
    EXPECT_THROW(app->removeDocument(-1), IndexError);
    app->removeDocument(1);
    EXPECT_EQ(app->getDocument(1), a2);

    const auto paint = environment("paint");
    app->addEnvironment(paint);
    EXPECT_THROW(app->addEnvironment(environment("paint")), DuplicateError);
    EXPECT_THROW(app->addEnvironment(environment("")), NullError);
    EXPECT_THROW(app->addEnvironment(nullptr), NullError);
    EXPECT_EQ(app->findEnvironment(CString("sculpt")), -1);
    EXPECT_THROW(app->getEnvironment(1), IndexError);
    EXPECT_EQ(paint->getRefCount(), 2);
}

// Removals from the front, the back and the middle, with lookups between
// them: the list keeps the order made, and indexes and lookups agree with it.
TEST_F(ApplicationTest, DocumentsKeepTheirOrderWhicheverLeaves)
{
    struct Case {
        const char* name;
        std::function<int(int size, int step)> pick; // index removed at a step
        bool lookUpBetween;
    };
    const Case cases[] = {
        {"front", [](int, int) { return 0; }, false},
        {"back", [](int size, int) { return size - 1; }, true},
        {"middle", [](int size, int) { return size / 2; }, true},
        {"middle, no lookups", [](int size, int) { return size / 2; }, false},
        {"scattered", [](int size, int step) { return (step * 7) % size; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Document*> model;
        for (int i = 0; i < 40; ++i) {
            model.push_back(document(std::to_string(i).c_str()));
            new DocumentInstance(model.back());
        }
        for (int step = 0; !model.empty(); ++step) {
            const auto at = static_cast<std::size_t>(c.pick(static_cast<int>(model.size()), step));
            Document* leaving = model[at];
            const tn::Reference<Document> held(leaving);
            // Through the document's own path or by index.
            if (step % 2 == 0)
                app->removeDocument(app->findDocument(leaving));
            else
                leaving->removeInstance(leaving->getInstance(0));
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
            EXPECT_EQ(app->findDocument(leaving), -1);
            if (!c.lookUpBetween && !model.empty())
                continue;
            ASSERT_EQ(app->getNumDocuments(), static_cast<int>(model.size()));
            for (std::size_t i = 0; i < model.size(); ++i) {
                EXPECT_EQ(app->getDocument(static_cast<int>(i)), model[i]);
                EXPECT_EQ(app->findDocument(model[i]), static_cast<int>(i));
            }
            if (!model.empty()) {
                EXPECT_EQ(app->findDocument(model.back()->getName()->asString()), static_cast<int>(model.size()) - 1);
            }
        }
        EXPECT_THROW(app->getDocument(0), IndexError);
    }
    // A document that left may come back, at the end.
    Document* first = document("first");
    Document* second = document("second");
    const tn::Reference<Document> held(first);
    app->removeDocument(0);
    app->addDocument(first);
    EXPECT_EQ(app->getDocument(0), second);
    EXPECT_EQ(app->getDocument(1), first);
}

TEST_F(ApplicationTest, ManyRegistrationsAreFoundAndWalkedInTheOrderMade)
{
    std::vector<tn::Reference<TestCommandDefn>> made;
    for (int i = 0; i < 3000; ++i) {
        CString name;
        name.format("c%d", i * 7919 % 3001);
        made.push_back(command(name.asChar()));
        app->addCommand(made.back().get());
    }
    for (const auto& c : made) {
        EXPECT_EQ(app->getCommand(c->getName()->asString()), c.get());
        EXPECT_THROW(app->addCommand(command(c->getName()->asChar()).get()), DuplicateError);
    }
    EXPECT_EQ(app->getCommand(CString("c3001")), nullptr);
    std::size_t i = 0;
    for (ApplicationCommandIterator it(app.get()); it.valid(); it.next(), ++i)
        EXPECT_EQ(it.get(), made.at(i).get());
    EXPECT_EQ(i, made.size());
}

TEST_F(ApplicationTest, TheActiveInstanceChangesWithNoticesAndIsForgottenWhenItDies)
{
    Document* d = document();
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    const int watchers = first->destroyedSignal.getNumConnections();
    Events events;
    tnRTB::SignalClient client;
    logOnOff(first->activeInstanceSignal, client, events, "first");
    logOnOff(second->activeInstanceSignal, client, events, "second");
    OutputCapture output(1);
    app->setActiveDocumentInstance(first);
    app->setActiveDocumentInstance(first); // already active: nothing
    app->setActiveDocumentInstance(second);
    app->setActiveDocumentInstance(nullptr);
    EXPECT_EQ(events, (Events{"first:true", "first:false", "second:true", "second:false"}));
    std::string expected;
    for (const void* p : std::initializer_list<const void*>{first, second, nullptr})
        expected += "Setting active document instance to: " + address(p) + "\n";
    EXPECT_EQ(output.diagnostics, expected);
    EXPECT_EQ(first->getRefCount(), 1);                              // not counted by the application
    EXPECT_EQ(first->destroyedSignal.getNumConnections(), watchers); // the application stopped watching

    int exits = 0;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    HostDocumentWindow* last = show(document("last"));
    app->setActiveDocumentInstance(second);
    d->removeInstance(second);
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(exits, 0); // documents are left
    // Closing the last document window gives the exit notice.
    d->removeInstance(first);
    auto* impl = new FakeWindowImpl;
    last->setQtDocumentWindow(nullptr, impl);
    app->setActiveDocumentInstance(last->getDocumentInstance());
    delete impl;
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_EQ(exits, 1);
}

TEST_F(ApplicationTest, ListenersMayLetGoOfWhatTheyAreToldAbout)
{
    // Each case connects a listener that lets go of what it is told about
    // (or of its window), makes the change, and checks where things stand.
    tnRTB::SignalClient client;
    // Removes the instance from its document on the notice with value on.
    const auto removeOn = [&client](DocumentInstance* instance, bool on) {
        tnRTB::connect(instance->activeInstanceSignal, &client, [on](DocumentInstance* p, bool active) {
            if (active == on)
                p->getDocument()->removeInstance(p);
        });
    };
    // Lets go of the environment held by held on the notice with value on.
    const auto releaseOn = [&client](tn::Reference<Environment>& held, bool on) {
        tnRTB::connect(held->activeEnvironmentSignal, &client, [&held, on](Environment*, bool active) {
            if (active == on)
                held = nullptr;
        });
    };
    const std::initializer_list<std::pair<const char*, std::function<void()>>> cases = {
        {"the old instance, told it stops being active",
         [&] {
             Document* d = document();
             auto* old = new DocumentInstance(d);
             auto* next = new DocumentInstance(d);
             app->setActiveDocumentInstance(old);
             removeOn(old, false);
             app->setActiveDocumentInstance(next);
             EXPECT_EQ(app->getActiveDocumentInstance(), next);
             EXPECT_EQ(d->getNumInstances(), 1);
         }},
        {"the new instance, told it becomes active",
         [&] {
             Document* d = document();
             new DocumentInstance(d);
             auto* next = new DocumentInstance(d);
             removeOn(next, true);
             app->setActiveDocumentInstance(next);
             EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
         }},
        {"the instance of a closing window, told it stops being active",
         [&] {
             Document* d = document();
             HostDocumentWindow* window = show(d);
             auto* impl = new FakeWindowImpl;
             window->setQtDocumentWindow(nullptr, impl);
             app->setActiveDocumentInstance(window->getDocumentInstance());
             removeOn(window->getDocumentInstance(), false);
             delete impl;
             EXPECT_EQ(app->findDocument(d), -1);
         }},
        {"the old environment, told it stops being active",
         [&] {
             tn::Reference<Environment> old(environment("old"));
             const tn::Reference<Environment> next(environment("next"));
             app->setActiveEnvironment(old);
             releaseOn(old, false);
             app->setActiveEnvironment(next);
             EXPECT_EQ(std::tuple(old.get(), app->getActiveEnvironment()), std::tuple(nullptr, next.get()));
         }},
        {"the new environment, told it becomes active",
         [&] {
             auto* instance = new DocumentInstance(document());
             app->setActiveDocumentInstance(instance);
             tn::Reference<Environment> next(environment("next"));
             releaseOn(next, true);
             app->setActiveEnvironment(next);
             EXPECT_EQ(std::tuple(app->getActiveEnvironment(), instance->getEnvironment()),
                       std::tuple(nullptr, nullptr));
         }},
        {"a utility window, hidden with its group",
         [&] {
             HostDocumentWindow* window = show(document());
             auto* utility = new UtilityWindow(window);
             tnRTB::connect(utility->hiddenSignal, &client, [window](Window* w) { window->childWindowClosed(w); });
             utility->hideWindowAsPartOfGroup();
             EXPECT_EQ(window->getNumWindows(), 0);
         }},
    };
    for (const auto& [what, run] : cases) {
        SCOPED_TRACE(what);
        run();
    }
}

// A momentary command that records the window and instance of its calls.
class RecordingCommand : public MomentaryCommandDefn {
public:
    RecordingCommand() : MomentaryCommandDefn(CString("record")) {}
    void execute(CallInfo& call) override { calls.emplace_back(call.getWindow(), call.getDocumentInstance()); }
    std::vector<std::pair<Window*, DocumentInstance*>> calls;
};

TEST_F(ApplicationTest, SelectingGoesThroughTheActiveDocumentWindow)
{
    const tn::Reference<RecordingCommand> definition(new RecordingCommand);
    const tn::Reference<CommandInstance> c(new CommandInstance(definition));
    app->selectCommand(nullptr);
    app->selectCommand(c); // no active instance: the application's controller
    Document* d = document();
    app->setActiveDocumentInstance(new DocumentInstance(d));
    app->selectCommand(c); // an active instance without window: still the application's
    HostDocumentWindow* window = show(d);
    app->setActiveDocumentInstance(window->getDocumentInstance());
    app->selectCommand(c);
    EXPECT_EQ(definition->calls, (std::vector<std::pair<Window*, DocumentInstance*>>{
                                     {nullptr, nullptr}, {nullptr, nullptr}, {window, window->getDocumentInstance()}}));
}

class CloseAllTest : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        tnRTB::connect(app->exitSignal, &client, [this] { ++exits; });
    }
    void TearDown() override
    {
        app = nullptr;
        impls.clear();
        ApplicationTest::TearDown();
    }

    // A shown instance of d whose widget logs under name; a widget that
    // destroys itself when closed is not kept here.
    HostDocumentWindow* shown(Document* d, const std::string& name, bool closeDestroys)
    {
        auto* impl = new FakeWindowImpl(&calls, name, closeDestroys);
        if (!closeDestroys)
            impls.emplace_back(impl);
        return show(d, impl);
    }

    Events calls;
    std::vector<std::unique_ptr<FakeWindowImpl>> impls;
    int exits = 0;
    tnRTB::SignalClient client;
};

TEST_F(CloseAllTest, TheActiveDocumentClosesFirstThenTheOthersLastFirst)
{
    Document* a = document("a");
    Document* b = document("b");
    Document* c = document("c");
    shown(a, "a0", true);
    shown(a, "a1", true);
    HostDocumentWindow* b0 = shown(b, "b0", true);
    shown(b, "b1", true);
    shown(c, "c0", true);
    new DocumentInstance(c); // never shown: skipped
    app->setActiveDocumentInstance(b0->getDocumentInstance());
    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_EQ(calls, (Events{"b1.close", "b0.close", "c0.close", "a1.close", "a0.close"}));
    EXPECT_EQ(app->getNumDocuments(), 1); // c keeps its instance without window
    EXPECT_EQ(exits, 0);

    // Closing the last window announces the exit.
    calls.clear();
    shown(document("d"), "d0", true);
    app->removeDocument(0);
    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_EQ(calls, Events{"d0.close"});
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_EQ(exits, 1);
}

TEST_F(CloseAllTest, ARefusingWindowStopsTheClosingAndTheExit)
{
    Document* d = document("doc");
    HostDocumentWindow* first = shown(d, "first", false);
    HostDocumentWindow* refusing = shown(d, "refusing", false);
    refusing->canClose = false;
    app->requestExit();
    EXPECT_FALSE(app->closeAllWindows());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(app->getActiveDocumentInstance(), refusing->getDocumentInstance());
    EXPECT_FALSE(app->isRequestingExit());
    EXPECT_EQ(first->closeQuestions, 0);

    app->forceExit();
    EXPECT_TRUE(app->closeAllWindows());
    // These widgets close later, when the host gets round to it: the walk
    // over the other documents (here the same one, skipping the instance
    // that was active) asks the remaining window again.
    EXPECT_EQ(calls, (Events{"refusing.close", "first.close", "first.close"}));
    EXPECT_EQ(refusing->closeQuestions, 2);
}

TEST_F(ApplicationTest, TeardownLetsGoOfTheDocumentsBeforeAnythingElse)
{
    app->addCommand(command("cmd"));
    Document* d = document("doc");
    Events seen;
    tnRTB::SignalClient client;
    tnRTB::connect(d->destroyedSignal, &client, [&](Entity*) {
        seen.push_back("document, commands: " + std::to_string(Application::getInstance().getNumCommands()));
    });
    tnRTB::connect(app->getCommand(CString("cmd"))->destroyedSignal, &client, [&](Entity*) {
        seen.push_back(Application::findInstance() ? "command, application there" : "command, application gone");
    });
    app = nullptr;
    EXPECT_EQ(seen, (Events{"document, commands: 1", "command, application gone"}));
}

} // namespace
