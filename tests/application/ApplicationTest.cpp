#include "application/AppTestSupport.h"

#include <tnUI/application/Constants.h>
#include <tnUI/application/Environment.h>
#include <tnUI/application/EventFilter.h>
#include <tnUI/application/UtilityWindow.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandController.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Error.h>
#include <tnUI/foundation/AppMain.h>
#include <tnUI/foundation/Filename.h>
#include <tnUI/foundation/IdleTasks.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using tnString::CString;
using tnUI::Application;
using tnUI::Document;
using tnUI::DocumentInstance;
using tnUI::Environment;
using tnUITest::FakeWindowImpl;
using tnUITest::HostDocumentWindow;

tn::Reference<tnUI::TestCommandDefn> command(const char* name)
{
    return tn::Reference<tnUI::TestCommandDefn>(new tnUI::TestCommandDefn(CString(name)));
}

tn::Reference<tnUI::CommandGroup> menu(const char* name)
{
    tn::Reference<tnUI::CommandGroup> group(new tnUI::CommandGroup);
    if (name)
        group->setName(CString(name));
    return group;
}

tn::Reference<tnUI::BoolValue> flag(const char* name)
{
    tn::Reference<tnUI::BoolValue> value(new tnUI::BoolValue(true));
    if (name)
        value->setName(CString(name));
    return value;
}

// Logs the active-instance notices of instances, as "<name>:true".
class ActiveLog {
public:
    void watch(DocumentInstance* instance, const std::string& name)
    {
        tnRTB::connect(instance->activeInstanceSignal, &m_client, [this, name](DocumentInstance*, bool active) {
            events.push_back(name + (active ? ":true" : ":false"));
        });
    }
    std::vector<std::string> events;

private:
    tnRTB::SignalClient m_client;
};

class SingletonTest : public tnUITest::CountedTest {};

TEST_F(SingletonTest, ThereIsOneApplicationAtATime)
{
    EXPECT_THROW(Application::getInstance(), tnUI::ImplError);
    EXPECT_EQ(Application::findInstance(), nullptr);
    EXPECT_THROW(tnUI::EventFilterManager::getInstance(), tnUI::ImplError);
    {
        const tn::Reference<Application> app(new Application);
        EXPECT_EQ(&Application::getInstance(), app.get());
        EXPECT_EQ(Application::findInstance(), app.get());
        EXPECT_NO_THROW(tnUI::EventFilterManager::getInstance());
        EXPECT_THROW(Application second, tnUI::ImplError);
        EXPECT_EQ(&Application::getInstance(), app.get());
        EXPECT_NO_THROW(tnUI::EventFilterManager::getInstance());
    }
    EXPECT_THROW(Application::getInstance(), tnUI::ImplError);
    EXPECT_EQ(Application::findInstance(), nullptr);
    EXPECT_THROW(tnUI::EventFilterManager::getInstance(), tnUI::ImplError);
    EXPECT_THROW(Application::getResourceFile(tnString::IString("x")), tnUI::ImplError);
}

TEST_F(SingletonTest, FontSettingsAreProcessWide)
{
    const tnString::IString oldName = Application::getFontName();
    const int oldNormal = Application::getNormalFontSize();
    const int oldSmall = Application::getSmallFontSize();
    Application::setFontName(tnString::IString("Sans"));
    Application::setNormalFontSize(12);
    Application::setSmallFontSize(9);
    {
        const tn::Reference<Application> app(new Application);
        EXPECT_EQ(Application::getFontName(), tnString::IString("Sans"));
        EXPECT_EQ(Application::getNormalFontSize(), 12);
        EXPECT_EQ(Application::getSmallFontSize(), 9);
    }
    EXPECT_EQ(Application::getNormalFontSize(), 12); // they outlive the application
    Application::setFontName(oldName);
    Application::setNormalFontSize(oldNormal);
    Application::setSmallFontSize(oldSmall);
}

class ApplicationTest : public tnUITest::ApplicationTest {};

TEST_F(ApplicationTest, ANewApplicationIsQuiet)
{
    EXPECT_FALSE(app->isTabletDeviceInProximity());
    EXPECT_EQ(app->tabletDeviceInProximity(), tnUI::TabletEvent::NoDevice);
    EXPECT_EQ(app->getLastInputSeconds(), 0UL);
    EXPECT_FALSE(app->isMenuPosted());
    EXPECT_FALSE(app->isRequestingExit());
    EXPECT_FALSE(app->isForceExit());
    EXPECT_FALSE(app->getWarmStartup());
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(app->getActiveEnvironment(), nullptr);
    EXPECT_EQ(app->getMenuBar(), nullptr);
    EXPECT_TRUE(app->getResourceLocation().isEmpty());
    EXPECT_FALSE(app->openInitialDocument(tnString::IString("/tmp/doc")));
    EXPECT_EQ(app->getConstants().getLabel(tnUI::Constants::Label0), nullptr);
    EXPECT_EQ(app->getCommandController().getRefCount(), 1);
}

// The three registries behave alike; each is driven through these.
struct Registry {
    const char* what;
    std::function<tn::Reference<tnUI::NamedEntity>(const char*)> make;
    std::function<void(Application&, tnUI::NamedEntity*)> add;
    std::function<tnUI::NamedEntity*(Application&, const CString&)> get;
    std::function<int(Application&)> count;
};

std::vector<Registry> registries()
{
    return {
        {"commands", [](const char* n) { return tn::Reference<tnUI::NamedEntity>(command(n).get()); },
         [](Application& a, tnUI::NamedEntity* e) { a.addCommand(static_cast<tnUI::CommandDefn*>(e)); },
         [](Application& a, const CString& n) -> tnUI::NamedEntity* { return a.getCommand(n); },
         [](Application& a) { return a.getNumCommands(); }},
        {"values", [](const char* n) { return tn::Reference<tnUI::NamedEntity>(flag(n).get()); },
         [](Application& a, tnUI::NamedEntity* e) { a.addValue(static_cast<tnUI::Value*>(e)); },
         [](Application& a, const CString& n) -> tnUI::NamedEntity* { return a.getValue(n); },
         [](Application& a) { return a.getNumValues(); }},
        {"menus", [](const char* n) { return tn::Reference<tnUI::NamedEntity>(menu(n).get()); },
         [](Application& a, tnUI::NamedEntity* e) { a.addMenu(static_cast<tnUI::CommandGroup*>(e)); },
         [](Application& a, const CString& n) -> tnUI::NamedEntity* { return a.getMenu(n); },
         [](Application& a) { return a.getNumMenus(); }},
    };
}

TEST_F(ApplicationTest, RegistriesKeepOneObjectPerName)
{
    for (const Registry& r : registries()) {
        SCOPED_TRACE(r.what);
        const auto first = r.make("shared");
        const auto twin = r.make("shared");
        const auto other = r.make("other");
        r.add(*app, first);
        r.add(*app, other);
        EXPECT_THROW(r.add(*app, twin), tnUI::DuplicateError);
        EXPECT_THROW(r.add(*app, nullptr), tnUI::NullError);
        EXPECT_THROW(r.add(*app, r.make(nullptr)), tnUI::NullError);
        EXPECT_THROW(r.add(*app, r.make("")), tnUI::NullError);
        EXPECT_EQ(r.count(*app), 2);
        EXPECT_EQ(r.get(*app, CString("shared")), first.get());
        EXPECT_EQ(r.get(*app, CString("none")), nullptr);
        EXPECT_EQ(first->getRefCount(), 2);
        EXPECT_EQ(twin->getRefCount(), 1);
    }
    // Each registry has its own names: all three hold a "shared".
    EXPECT_NE(app->getCommand(CString("shared")), nullptr);
    EXPECT_NE(app->getValue(CString("shared")), nullptr);
    EXPECT_NE(app->getMenu(CString("shared")), nullptr);
}

TEST_F(ApplicationTest, IteratorsWalkEachRegistryOnce)
{
    for (const char* name : {"a", "b", "c"}) {
        app->addCommand(command(name));
        app->addValue(flag(name));
    }
    app->addMenu(menu("m"));
    std::multiset<std::string> commands;
    for (tnUI::ApplicationCommandIterator it(app); it.valid(); it.next())
        commands.insert(it.get()->nameAsChar());
    EXPECT_EQ(commands, (std::multiset<std::string>{"a", "b", "c"}));

    std::multiset<std::string> values;
    tnUI::ApplicationValueIterator it(app);
    values.insert(it.get()->nameAsChar());
    it.next();
    tnUI::ApplicationValueIterator copy(it);
    for (; copy.valid(); copy.next())
        values.insert(copy.get()->nameAsChar());
    EXPECT_EQ(values, (std::multiset<std::string>{"a", "b", "c"}));

    tnUI::ApplicationMenuIterator menus(app);
    ASSERT_TRUE(menus.valid());
    EXPECT_STREQ(menus.get()->nameAsChar(), "m");
    menus.next();
    EXPECT_FALSE(menus.valid());

    EXPECT_THROW(tnUI::ApplicationCommandIterator(nullptr), tnUI::NullError);
    EXPECT_THROW(tnUI::ApplicationValueIterator(nullptr), tnUI::NullError);
    EXPECT_THROW(tnUI::ApplicationMenuIterator(nullptr), tnUI::NullError);
}

TEST_F(ApplicationTest, TheMenuBarMustBeARegisteredMenu)
{
    EXPECT_THROW(app->setMenuBar(CString("main")), tnUI::ImplError);
    EXPECT_EQ(app->getMenuBar(), nullptr);
    const auto main = menu("main");
    app->addMenu(main);
    app->setMenuBar(CString("main"));
    EXPECT_EQ(app->getMenuBar(), main.get());
    EXPECT_THROW(app->setMenuBar(CString("other")), tnUI::ImplError);
    EXPECT_EQ(app->getMenuBar(), main.get());
}

TEST_F(ApplicationTest, DocumentsAreListedInTheOrderMade)
{
    Document* unnamed = document();
    Document* a = document("a");
    Document* a2 = document("a");
    EXPECT_EQ(app->findDocument(CString("a")), 1);
    EXPECT_EQ(app->findDocument(a2), 2);
    EXPECT_EQ(app->findDocument(CString("none")), -1);
    EXPECT_EQ(app->findDocument(CString("")), -1); // an unnamed document never matches
    EXPECT_EQ(app->getDocument(0), unnamed);
    EXPECT_THROW(app->addDocument(a), tnUI::DuplicateError);
    EXPECT_THROW(app->addDocument(nullptr), tnUI::NullError);
    EXPECT_THROW(app->getDocument(3), tnUI::IndexError);
    EXPECT_THROW(app->removeDocument(3), tnUI::IndexError);
    EXPECT_THROW(app->removeDocument(-1), tnUI::IndexError);
    EXPECT_EQ(app->getNumDocuments(), 3);
    app->removeDocument(1);
    EXPECT_EQ(app->getNumDocuments(), 2);
    EXPECT_EQ(app->getDocument(1), a2);
}

TEST_F(ApplicationTest, EnvironmentsAreRegisteredByName)
{
    const tn::Reference<Environment> paint(new Environment(CString("paint"), tnString::IString()));
    const tn::Reference<Environment> twin(new Environment(CString("paint"), tnString::IString()));
    const tn::Reference<Environment> nameless(new Environment(CString(""), tnString::IString()));
    app->addEnvironment(paint);
    EXPECT_THROW(app->addEnvironment(twin), tnUI::DuplicateError);
    EXPECT_THROW(app->addEnvironment(nameless), tnUI::NullError);
    EXPECT_THROW(app->addEnvironment(nullptr), tnUI::NullError);
    EXPECT_EQ(app->getNumEnvironments(), 1);
    EXPECT_EQ(app->getEnvironment(0), paint.get());
    EXPECT_EQ(app->findEnvironment(CString("paint")), 0);
    EXPECT_EQ(app->findEnvironment(CString("sculpt")), -1);
    EXPECT_THROW(app->getEnvironment(1), tnUI::IndexError);
    EXPECT_EQ(paint->getRefCount(), 2);
}

TEST_F(ApplicationTest, TheActiveInstanceChangesWithNotices)
{
    Document* d = document();
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    const int watchers = first->destroyedSignal.getNumConnections();
    ActiveLog log;
    log.watch(first, "first");
    log.watch(second, "second");
    tnUITest::OutputCapture output(1);
    app->setActiveDocumentInstance(first);
    app->setActiveDocumentInstance(first); // already active: nothing
    app->setActiveDocumentInstance(second);
    app->setActiveDocumentInstance(nullptr);
    EXPECT_EQ(log.events, (std::vector<std::string>{"first:true", "first:false", "second:true", "second:false"}));
    EXPECT_EQ(output.diagnostics, "Setting active document instance to: " + tnUITest::address(first) + "\n" +
                                      "Setting active document instance to: " + tnUITest::address(second) + "\n" +
                                      "Setting active document instance to: " + tnUITest::address(nullptr) + "\n");
    EXPECT_EQ(first->getRefCount(), 1);                              // not counted by the application
    EXPECT_EQ(first->destroyedSignal.getNumConnections(), watchers); // the application stopped watching
}

TEST_F(ApplicationTest, TheDeathOfTheActiveInstanceIsNoticed)
{
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    Document* d = document("doc");
    HostDocumentWindow* last = show(document("last"));
    auto* instance = new DocumentInstance(d);
    app->setActiveDocumentInstance(instance);
    d->removeInstance(instance);
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(exits, 0); // a document is left
    EXPECT_EQ(app->getNumDocuments(), 1);

    // Closing the last document window gives the same notice as forceExit.
    FakeWindowImpl* impl = new FakeWindowImpl;
    last->setQtDocumentWindow(nullptr, impl);
    app->setActiveDocumentInstance(last->getDocumentInstance());
    delete impl;
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_EQ(exits, 1);
}

TEST_F(ApplicationTest, TheActiveEnvironmentReachesTheActiveInstance)
{
    const tn::Reference<Environment> paint(new Environment(CString("paint"), tnString::IString()));
    const tn::Reference<Environment> sculpt(new Environment(CString("sculpt"), tnString::IString()));
    app->addEnvironment(paint);
    app->addEnvironment(sculpt);
    Document* d = document();
    auto* active = new DocumentInstance(d);
    auto* inactive = new DocumentInstance(d);
    app->setActiveDocumentInstance(active);

    std::vector<std::string> events;
    tnRTB::SignalClient client;
    for (Environment* e : {paint.get(), sculpt.get()}) {
        tnRTB::connect(e->activeEnvironmentSignal, &client, [&events](Environment* env, bool on) {
            events.push_back(std::string(env->nameAsChar()) + (on ? ":true" : ":false"));
        });
    }
    tnRTB::connect(active->environmentChangedSignal, &client,
                   [&events](Environment* env) { events.push_back(std::string("instance:") + env->nameAsChar()); });

    app->setActiveEnvironment(sculpt);
    app->setActiveEnvironment(sculpt);
    app->setActiveEnvironment(paint);
    EXPECT_EQ(events, (std::vector<std::string>{"sculpt:true", "instance:sculpt", "sculpt:false", "paint:true",
                                                "instance:paint"}));
    EXPECT_EQ(app->getActiveEnvironment(), paint.get());
    EXPECT_EQ(inactive->getEnvironment(), paint.get()); // its first environment, untouched
    EXPECT_EQ(active->getEnvironment(), paint.get());
    app->setActiveEnvironment(sculpt);
    EXPECT_EQ(inactive->getEnvironment(), paint.get());
}

TEST_F(ApplicationTest, AnUnregisteredActiveEnvironmentMayDie)
{
    tn::Reference<Environment> e(new Environment(CString("loose"), tnString::IString()));
    app->setActiveEnvironment(e);
    e = nullptr;
    EXPECT_EQ(app->getActiveEnvironment(), nullptr);
}

// A momentary command that records the call it was executed with.
class RecordingCommand : public tnUI::MomentaryCommandDefn {
public:
    RecordingCommand() : MomentaryCommandDefn(CString("record")) {}
    void execute(tnUI::CallInfo& call) override
    {
        windows.push_back(call.getWindow());
        instances.push_back(call.getDocumentInstance());
    }
    std::vector<tnUI::Window*> windows;
    std::vector<DocumentInstance*> instances;
};

TEST_F(ApplicationTest, SelectingGoesThroughTheActiveDocumentWindow)
{
    const tn::Reference<RecordingCommand> definition(new RecordingCommand);
    const tn::Reference<tnUI::CommandInstance> c(new tnUI::CommandInstance(definition));
    app->selectCommand(nullptr);
    app->selectCommand(c); // no active instance: the application's controller
    Document* d = document();
    auto* bare = new DocumentInstance(d);
    app->setActiveDocumentInstance(bare);
    app->selectCommand(c); // an active instance without window: still the application's
    HostDocumentWindow* window = show(d);
    app->setActiveDocumentInstance(window->getDocumentInstance());
    app->selectCommand(c);
    EXPECT_EQ(definition->windows, (std::vector<tnUI::Window*>{nullptr, nullptr, window}));
    EXPECT_EQ(definition->instances, (std::vector<DocumentInstance*>{nullptr, nullptr, window->getDocumentInstance()}));
}

TEST_F(ApplicationTest, InteractionAndModalityAreAnnounced)
{
    std::vector<std::string> events;
    tnRTB::SignalClient client;
    tnRTB::connect(app->interactionSignal, &client, [&](int phase, const CString& name) {
        events.push_back(std::to_string(phase) + ":" + name.asChar());
    });
    tnRTB::connect(app->modalSignal, &client, [&](bool on) { events.push_back(on ? "modal" : "modeless"); });
    app->startInteraction(CString("drag"));
    app->requestModal();
    app->requestModal(); // not counted
    app->cancelModal();
    app->stopInteraction(CString("drag"));
    EXPECT_EQ(events, (std::vector<std::string>{"0:drag", "modal", "modal", "modeless", "1:drag"}));
}

TEST_F(ApplicationTest, OnlyTheOutermostPostedMenuIsAnnounced)
{
    std::vector<bool> notices;
    tnRTB::SignalClient client;
    tnRTB::connect(app->menuPostedSignal, &client, [&](bool posted) { notices.push_back(posted); });
    app->postedMenu(true);
    app->postedMenu(true);
    EXPECT_TRUE(app->isMenuPosted());
    app->postedMenu(false);
    EXPECT_TRUE(app->isMenuPosted());
    app->postedMenu(false);
    EXPECT_FALSE(app->isMenuPosted());
    EXPECT_EQ(notices, (std::vector<bool>{true, false}));
}

TEST_F(ApplicationTest, ForcingTheExitIsFinal)
{
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    app->requestExit();
    EXPECT_TRUE(app->isRequestingExit());
    app->cancelExit();
    EXPECT_FALSE(app->isRequestingExit());
    EXPECT_EQ(exits, 0);
    app->forceExit();
    app->cancelExit();
    EXPECT_TRUE(app->isForceExit());
    EXPECT_EQ(exits, 1);
}

TEST_F(ApplicationTest, HostStateIsStored)
{
    int ran = 0;
    tnUtil::getIdleTasks().add([&] { ++ran; });
    app->runIdleTask();
    EXPECT_EQ(ran, 1);

    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    app->updateLastInputTime();
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_GE(app->getLastInputSeconds(), before);
    EXPECT_LE(app->getLastInputSeconds(), after);

    app->setTabletDevice(tnUI::TabletEvent::Stylus);
    EXPECT_TRUE(app->isTabletDeviceInProximity());
    EXPECT_EQ(app->tabletDeviceInProximity(), tnUI::TabletEvent::Stylus);
    app->setTabletDevice(tnUI::TabletEvent::NoDevice);
    EXPECT_FALSE(app->isTabletDeviceInProximity());

    app->setWarmStartup(true);
    EXPECT_TRUE(app->getWarmStartup());
}

TEST_F(ApplicationTest, ResourcesLieBesideTheProgram)
{
    EXPECT_THROW(Application::getResourceFile(tnString::IString("icon.png")), tnUI::ImplError);
    app->setResourceLocation(tnString::IString("resources"));
    const tnString::IString programDir = tnOS::Filename::dirname(tnOS::AppMain::getInstance().getBaseLocation());
    const tnString::IString expected = tnOS::Filename::join(programDir, tnString::IString("resources"));
    EXPECT_EQ(app->getResourceLocation(), expected);
    EXPECT_EQ(Application::getResourceFile(tnString::IString("icon.png")),
              tnOS::Filename::join(expected, tnString::IString("icon.png")));
    EXPECT_FALSE(programDir.isEmpty());
}

class CloseAllTest : public tnUITest::ApplicationTest {
protected:
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
        auto* impl = new FakeWindowImpl(&calls, name);
        impl->closeDestroys = closeDestroys;
        if (!closeDestroys)
            impls.emplace_back(impl);
        return show(d, impl);
    }

    std::vector<std::string> calls;
    std::vector<std::unique_ptr<FakeWindowImpl>> impls;
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
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });

    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_EQ(calls, (std::vector<std::string>{"b1.close", "b0.close", "c0.close", "a1.close", "a0.close"}));
    EXPECT_EQ(app->getNumDocuments(), 1); // c keeps its instance without window
    EXPECT_EQ(app->getDocument(0), c);
    EXPECT_EQ(app->getActiveDocumentInstance(), nullptr);
    EXPECT_EQ(exits, 0);
}

TEST_F(CloseAllTest, ClosingTheLastWindowAnnouncesTheExit)
{
    Document* a = document("a");
    shown(a, "a0", true);
    shown(document("b"), "b0", true);
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    EXPECT_TRUE(app->closeAllWindows());
    EXPECT_EQ(calls, (std::vector<std::string>{"b0.close", "a0.close"}));
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
    EXPECT_EQ(calls, (std::vector<std::string>{"refusing.close", "first.close", "first.close"}));
    EXPECT_EQ(refusing->closeQuestions, 2);
}

TEST_F(CloseAllTest, TheApplicationMayDieWithWindowsOpen)
{
    HostDocumentWindow* window = shown(document("doc"), "w", false);
    auto* utility = new tnUI::UtilityWindow(window);
    impls.emplace_back(new FakeWindowImpl(&calls, "u"));
    utility->setQtUtilityWindow(nullptr, impls.back().get());
    app->setActiveDocumentInstance(window->getDocumentInstance());
    const tn::Reference<tnUI::UtilityWindow> held(utility);
    int exits = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(app->exitSignal, &client, [&] { ++exits; });
    app = nullptr;
    EXPECT_EQ(exits, 1); // the active instance died with no document left
    EXPECT_EQ(held->getDocumentWindow(), nullptr);
    EXPECT_TRUE(calls.empty()); // nothing is closed: the widgets are the host's
    impls.clear();              // and they go afterwards
    EXPECT_EQ(held->getToolkitImpl(), nullptr);
}

TEST_F(ApplicationTest, TeardownLetsGoOfTheDocumentsBeforeAnythingElse)
{
    app->addCommand(command("cmd"));
    Document* d = document("doc");
    std::vector<std::string> seen;
    tnRTB::SignalClient client;
    tnRTB::connect(d->destroyedSignal, &client, [&](tnUI::Entity*) {
        const Application& a = Application::getInstance();
        seen.push_back("document, commands: " + std::to_string(a.getNumCommands()));
    });
    tnRTB::connect(app->getCommand(CString("cmd"))->destroyedSignal, &client, [&](tnUI::Entity*) {
        bool gone = false;
        try {
            Application::getInstance();
        } catch (const tnUI::ImplError&) {
            gone = true;
        }
        seen.push_back(gone ? "command, application gone" : "command, application there");
    });
    app = nullptr;
    EXPECT_EQ(seen, (std::vector<std::string>{"document, commands: 1", "command, application gone"}));
}

TEST_F(CloseAllTest, ADocumentMayOutliveTheApplication)
{
    Document* d = document("doc");
    shown(d, "w", false);
    const tn::Reference<Document> held(d);
    app = nullptr;
    EXPECT_EQ(held->getApplication(), nullptr);
    EXPECT_EQ(held->getNumInstances(), 1);
    EXPECT_EQ(held->getInstance(0)->getApplication(), nullptr);
    EXPECT_EQ(held->getValue(CString("x"), true), nullptr);
}

TEST_F(ApplicationTest, DumpsEveryPart)
{
    app->setName(CString("app"));
    app->addEnvironment(tn::Reference<Environment>(new Environment(CString("env"), tnString::IString())));
    app->addCommand(command("cmd"));
    app->addValue(flag("val"));
    app->addMenu(menu("menu"));
    Document* d = document("doc");
    app->setActiveDocumentInstance(new DocumentInstance(d));
    tnUITest::DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    EXPECT_TRUE(app->dump(dump.file, 0, nullptr));
    std::vector<std::string> texts;
    for (const auto& line : dump.lines())
        texts.push_back(line.substr(7));
    std::string text;
    for (const auto& t : texts)
        text += t + "\n";
    std::size_t at = 0;
    for (const char* part : {"| 1 documents\n", "\"current instance\"", "| 1 environments\n", "| 1 commands\n",
                             "| 1 values\n", "| 1 menus\n"}) {
        const auto found = text.find(part, at);
        EXPECT_NE(found, std::string::npos) << part << "\n" << text;
        at = found == std::string::npos ? at : found;
    }
    tnUITest::DumpCapture again;
    again.file.writtenEntity(app.get());
    EXPECT_FALSE(app->dump(again.file, 0, nullptr));
}

} // namespace
