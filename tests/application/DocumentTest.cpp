// Documents, document instances and environments.

#include "application/AppTestSupport.h"

#include <functional>

namespace {

using namespace tnUI;
using namespace tnUITest;
using tnString::CString;
using tnString::IString;

tn::Reference<BoolValue> flag(const char* name)
{
    tn::Reference<BoolValue> value(new BoolValue(false));
    if (name)
        value->setName(CString(name));
    return value;
}

// The names of an instance's environment commands, with the instance's
// address written as "@".
std::vector<std::string> commandNames(const DocumentInstance* instance)
{
    const std::string self = address(instance);
    std::vector<std::string> result;
    for (int i = 0; i < instance->getEnvironmentCommands()->getNumElements(); ++i) {
        const std::string name = instance->getEnvironmentCommands()->getElement(i)->nameAsChar();
        const std::size_t at = name.find(self);
        result.push_back(at == std::string::npos ? name : name.substr(0, at) + "@" + name.substr(at + self.size()));
    }
    return result;
}

// Executes the environment command i of instance.
void executeEnvironmentCommand(CommandGroup* commands, int i)
{
    const tn::Reference<CallInfo> call(new CallInfo(nullptr, nullptr, nullptr, nullptr));
    static_cast<CommandInstance*>(commands->getElement(i))->asMomentary()->execute(*call);
}

class DocumentTest : public ApplicationTest {
protected:
    Environment* environment(const char* name, const char* label = "")
    {
        auto* e = new Environment(CString(name), IString(label));
        app->addEnvironment(e);
        return e;
    }
};

TEST_F(DocumentTest, RegistrationsAndTheirRefusalsLeaveNothingBehind)
{
    Document* d = document("doc");
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    EXPECT_EQ(std::tuple(d->getInstance(0), d->findInstance(second), second->getApplication(), first->getRefCount()),
              std::tuple(first, 1, app.get(), 1));
    BoolValue* flag = registerBool(first, CString("a"), true);
    flag->setValue(false);
    flag->reset(); // the initial value is the default
    EXPECT_EQ(std::tuple(flag->getValue(), flag->getRefCount()), std::tuple(true, 1));
    registerBool(app.get(), CString("a"), false);
    registerBool(d, CString("a"), false);

    const int live = Entity::numberOfActiveObjects();
    EXPECT_THROW(Document(nullptr), NullError);
    EXPECT_THROW(DocumentInstance(nullptr), NullError);
    EXPECT_THROW(d->getInstance(2), IndexError);
    EXPECT_THROW(d->getInstance(-1), IndexError);
    EXPECT_THROW(registerBool(first, CString("a"), false), DuplicateError);
    EXPECT_THROW(registerBool(static_cast<Application*>(nullptr), CString("n"), false), NullError);
    EXPECT_THROW(registerBool(static_cast<Document*>(nullptr), CString("n"), false), NullError);
    EXPECT_THROW(registerBool(static_cast<DocumentInstance*>(nullptr), CString("n"), false), NullError);
    EXPECT_EQ(Entity::numberOfActiveObjects(), live);
}

TEST_F(DocumentTest, RemovingTheLastInstanceRemovesTheDocument)
{
    Document* kept = document("kept");
    Document* d = document("doc");
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    const tn::Reference<DocumentInstance> stranger(new DocumentInstance(kept));
    EXPECT_FALSE(d->removeInstance(stranger)); // not an instance of d
    EXPECT_TRUE(d->removeInstance(second));
    EXPECT_EQ(app->getNumDocuments(), 2);
    EXPECT_TRUE(d->removeInstance(first));
    EXPECT_EQ(app->getNumDocuments(), 1);
    EXPECT_EQ(app->findDocument(CString("doc")), -1);

    // A document outside the application reports no removal.
    const tn::Reference<Document> outside(kept);
    app->removeDocument(0);
    EXPECT_FALSE(outside->removeInstance(stranger));
    EXPECT_EQ(outside->getNumInstances(), 0);
}

TEST_F(DocumentTest, WhatDiesAsItLeavesSeesItsOwnerWithoutIt)
{
    // Each case lets go of an entry, which dies, and gives the count its
    // destruction listener sees; the entry is never the last of its list, so
    // that a list erased around the dying entry would show.
    int seen = -1;
    tnRTB::SignalClient client;
    const auto watch = [&](Entity* dying, const std::function<int()>& count) {
        tnRTB::connect(dying->destroyedSignal, &client, [&seen, count](Entity*) { seen = count(); });
    };
    // A new document with two values and two instances with two values each.
    const auto populated = [this] {
        Document* d = document();
        for (const char* name : {"x", "y"})
            d->addValue(flag(name));
        for (int i = 0; i < 2; ++i) {
            auto* instance = new DocumentInstance(d);
            for (const char* name : {"x", "y"})
                instance->addValue(flag(name));
        }
        return d;
    };
    const std::initializer_list<std::pair<const char*, std::function<int()>>> cases = {
        {"instance removed",
         [&] {
             Document* d = populated();
             DocumentInstance* first = d->getInstance(0);
             watch(first, [d] { return d->getNumInstances(); });
             d->removeInstance(first);
             return 1;
         }},
        {"instance value removed",
         [&] {
             DocumentInstance* instance = populated()->getInstance(0);
             Value* x = instance->getValue(CString("x"), false);
             watch(x, [instance] { return instance->getNumValues(); });
             instance->removeValue(x);
             return 1;
         }},
        {"values of a dying instance",
         [&] {
             Document* d = populated();
             DocumentInstance* instance = d->getInstance(0);
             watch(instance->getValue(CString("x"), false), [instance] { return instance->getNumValues(); });
             d->removeInstance(instance);
             return 0;
         }},
        {"values of a dying document",
         [&] {
             Document* d = populated();
             watch(d->getValue(CString("x"), false), [d] { return d->getNumValues(); });
             app->removeDocument(app->findDocument(d));
             return 0;
         }},
        {"environments of a dying application",
         [&] {
             Application* application = app.get();
             environment("one");
             environment("two");
             watch(application->getEnvironment(0), [application] { return application->getNumEnvironments(); });
             app = nullptr;
             return 0;
         }},
    };
    for (const auto& [what, run] : cases) {
        SCOPED_TRACE(what);
        seen = -1;
        const int expected = run();
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(DocumentTest, ValuesAreFoundInThreeLayersAndRemovedByName)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    const auto appValue = flag("shared"), docValue = flag("shared"), own = flag("own"), appOnly = flag("appOnly");
    app->addValue(appValue);
    app->addValue(appOnly);
    d->addValue(docValue); // shadows the application's
    instance->addValue(own);
    EXPECT_EQ(instance->getValue(CString("own"), false), own.get());
    EXPECT_EQ(instance->getValue(CString("shared"), false), nullptr);
    EXPECT_EQ(instance->getValue(CString("shared"), true), docValue.get());
    EXPECT_EQ(instance->getValue(CString("appOnly"), true), appOnly.get());
    EXPECT_EQ(d->getValue(CString("appOnly"), false), nullptr);
    EXPECT_EQ(d->getValue(CString("appOnly"), true), appOnly.get());
    EXPECT_EQ(d->getValue(CString("own"), true), nullptr); // lookups go outwards only

    // The refusals are the application's registries' (one shared check).
    const auto twin = flag("own"), nameless = flag(nullptr);
    d->addValue(own);
    EXPECT_THROW(instance->addValue(twin), DuplicateError);
    EXPECT_EQ(own->getRefCount(), 3);
    EXPECT_EQ(twin->getRefCount(), 1);

    // Removal goes by the name: another value of that name removes the stored one.
    EXPECT_FALSE(instance->removeValue(nullptr));
    EXPECT_FALSE(instance->removeValue(nameless));
    EXPECT_TRUE(instance->removeValue(twin));
    EXPECT_EQ(own->getRefCount(), 2);
    EXPECT_FALSE(instance->removeValue(own));
    EXPECT_THROW(DocumentValueIterator(nullptr), NullError);
    EXPECT_THROW(DocumentInstanceValueIterator(nullptr), NullError);
}

// An instance that leaves out one environment.
class SelectiveInstance : public DocumentInstance {
public:
    SelectiveInstance(Document* d, Environment* left) : DocumentInstance(d), m_left(left) {}
    bool shouldIncludeEnvironment(Environment* e) override { return e != m_left; }

private:
    Environment* m_left;
};

TEST_F(DocumentTest, EnvironmentCommandsCopyTheEnvironmentsOfTheirTime)
{
    auto* before = new DocumentInstance(document());
    Environment* paint = environment("paint", "Paint");
    Environment* sculpt = environment("sculpt");
    auto* instance = new DocumentInstance(document());
    EXPECT_EQ(instance->getEnvironment(), paint); // the first one
    EXPECT_EQ(commandNames(instance), (std::vector<std::string>{"environmentCommand@_0", "environmentCommand@_1"}));
    // Their presentation is the environments' (the golden dump shows it).
    EXPECT_EQ(instance->getEnvironmentCommands()->getElement(1)->getLabel(), sculpt->getLabel());
    EXPECT_EQ(app->getNumCommands(), 0); // they belong to the instance alone

    // Environments registered after an instance was made never reach it; a
    // host can leave environments out.
    EXPECT_EQ(before->getEnvironment(), nullptr);
    EXPECT_EQ(before->getEnvironmentCommands()->getNumElements(), 0);
    environment("third");
    auto* selective = new SelectiveInstance(document(), sculpt);
    EXPECT_EQ(commandNames(selective), (std::vector<std::string>{"environmentCommand@_0", "environmentCommand@_2"}));
}

TEST_F(DocumentTest, ExecutingAnEnvironmentCommandSwitchesOnlyItsInstance)
{
    Environment* a = environment("a");
    Environment* b = environment("b");
    Document* d = document();
    auto* active = new DocumentInstance(d);
    auto* other = new DocumentInstance(d);
    app->setActiveDocumentInstance(active);
    std::vector<Environment*> changes;
    tnRTB::SignalClient client;
    tnRTB::connect(other->environmentChangedSignal, &client, [&](Environment* e) { changes.push_back(e); });
    tnRTB::connect(active->environmentChangedSignal, &client, [&](Environment*) { ADD_FAILURE(); });
    executeEnvironmentCommand(other->getEnvironmentCommands(), 1);
    EXPECT_EQ(active->getEnvironment(), a);
    EXPECT_EQ(app->getActiveEnvironment(), nullptr);
    // Every setEnvironment is announced, null included.
    other->setEnvironment(b);
    other->setEnvironment(nullptr);
    EXPECT_EQ(changes, (std::vector<Environment*>{b, b, nullptr}));
}

TEST_F(DocumentTest, InstancesAndCommandsOutlivingTheirOwnersForgetThem)
{
    const tn::Reference<Environment> e(environment("e"));
    environment("f");
    const tn::Reference<Document> d(document());
    const tn::Reference<DocumentInstance> instance(new DocumentInstance(d));
    auto* gone = new DocumentInstance(d);
    const tn::Reference<CommandGroup> commands(instance->getEnvironmentCommands());
    const tn::Reference<CommandGroup> orphaned(gone->getEnvironmentCommands());
    d->removeInstance(gone);
    executeEnvironmentCommand(orphaned.get(), 1); // its instance is dead: nothing happens
    app = nullptr;
    EXPECT_EQ(std::tuple(d->getApplication(), instance->getApplication(), d->getValue(CString("x"), true)),
              std::tuple(nullptr, nullptr, nullptr));
    EXPECT_EQ(instance->getEnvironment(), e.get()); // still alive, held here
    d->removeInstance(instance);
    executeEnvironmentCommand(commands.get(), 0); // its instance lives on, held here
    EXPECT_EQ(instance->getDocument(), d.get());
}

class EnvironmentTest : public CountedTest {
protected:
    static tn::Reference<Environment> make(const char* name)
    {
        return tn::Reference<Environment>(new Environment(CString(name), IString()));
    }
};

TEST_F(EnvironmentTest, CommandsAreFoundUpAParentChainFreeOfCyclesAndDeadParents)
{
    const auto base = make("base"), child = make("child"), later = make("later");
    const tn::Reference<TestCommandDefn> select(new TestCommandDefn(CString("select")));
    const tn::Reference<TestCommandDefn> brush(new TestCommandDefn(CString("brush")));
    base->getCommandGroup()->appendItem(tn::Reference<CommandInstance>(new CommandInstance(select)));
    child->getCommandGroup()->appendItem(tn::Reference<CommandInstance>(new CommandInstance(brush)));
    EXPECT_FALSE(child->isCommandInEnvironment(CString("select")));
    child->setParent(base);
    EXPECT_TRUE(child->isCommandInEnvironment(CString("select")));
    EXPECT_TRUE(child->isCommandInEnvironment(CString("brush")));
    EXPECT_FALSE(base->isCommandInEnvironment(CString("brush")));
    EXPECT_THROW(base->setParent(child), CycleError);
    EXPECT_THROW(base->setParent(base), CycleError);
    EXPECT_EQ(base->getParent(), nullptr);

    tn::Reference<Environment> parent = make("parent");
    child->setParent(parent);
    child->setParent(later);
    child->setParent(parent);
    parent = nullptr;
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(later->destroyedSignal.getNumConnections(), 0);
}

} // namespace
