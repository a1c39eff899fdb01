#include "application/AppTestSupport.h"

#include <tnUI/application/Environment.h>
#include <tnUI/commands/CallInfo.h>
#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using tnString::CString;
using tnUI::BoolValue;
using tnUI::Document;
using tnUI::DocumentInstance;
using tnUI::Environment;
using tnUI::Value;

tn::Reference<BoolValue> flag(const char* name, bool v = false)
{
    tn::Reference<BoolValue> value(new BoolValue(v));
    if (name)
        value->setName(CString(name));
    return value;
}

Environment* environment(tnUI::Application* app, const char* name, const char* label = "")
{
    auto* e = new Environment(CString(name), tnString::IString(label));
    app->addEnvironment(e);
    return e;
}

// The names of a command group's elements.
std::vector<std::string> names(const tnUI::CommandGroup* group)
{
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(group->getNumElements()));
    for (int i = 0; i < group->getNumElements(); ++i)
        result.emplace_back(group->getElement(i)->nameAsChar());
    return result;
}

std::string commandName(const DocumentInstance* instance, int index)
{
    char text[64];
    std::snprintf(text, sizeof text, "environmentCommand%p_%d", static_cast<const void*>(instance), index);
    return text;
}

class DocumentTest : public tnUITest::ApplicationTest {};

TEST_F(DocumentTest, ADocumentRegistersItselfWithItsApplication)
{
    Document* d = document("doc");
    EXPECT_EQ(d->getApplication(), app.get());
    EXPECT_EQ(app->getNumDocuments(), 1);
    EXPECT_EQ(app->getDocument(0), d);
    EXPECT_EQ(d->getRefCount(), 1);
}

TEST_F(DocumentTest, OwnersAreRequired)
{
    const int live = tnUI::Entity::numberOfActiveObjects();
    EXPECT_THROW(Document(nullptr), tnUI::NullError);
    EXPECT_THROW(DocumentInstance(nullptr), tnUI::NullError);
    EXPECT_EQ(app->getNumDocuments(), 0);
    EXPECT_EQ(tnUI::Entity::numberOfActiveObjects(), live);
}

TEST_F(DocumentTest, InstancesAreListedInTheOrderMade)
{
    Document* d = document();
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    EXPECT_EQ(d->getNumInstances(), 2);
    EXPECT_EQ(d->getInstance(0), first);
    EXPECT_EQ(d->findInstance(second), 1);
    EXPECT_EQ(second->getDocument(), d);
    EXPECT_EQ(second->getApplication(), app.get());
    EXPECT_THROW(d->getInstance(2), tnUI::IndexError);
    EXPECT_THROW(d->getInstance(-1), tnUI::IndexError);
    EXPECT_EQ(first->getRefCount(), 1);
}

TEST_F(DocumentTest, RemovingTheLastInstanceRemovesTheDocument)
{
    Document* kept = document("kept");
    Document* d = document("doc");
    auto* first = new DocumentInstance(d);
    auto* second = new DocumentInstance(d);
    new DocumentInstance(kept);
    int documentsDied = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(d->destroyedSignal, &client, [&](tnUI::Entity*) { ++documentsDied; });

    const tn::Reference<DocumentInstance> stranger(new DocumentInstance(kept));
    kept->removeInstance(stranger);
    EXPECT_FALSE(d->removeInstance(stranger)); // not an instance of d
    EXPECT_EQ(d->getNumInstances(), 2);

    EXPECT_TRUE(d->removeInstance(second));
    EXPECT_EQ(app->getNumDocuments(), 2);
    EXPECT_TRUE(d->removeInstance(first));
    EXPECT_EQ(documentsDied, 1);
    EXPECT_EQ(app->getNumDocuments(), 1);
    EXPECT_EQ(app->findDocument(CString("doc")), -1);
}

TEST_F(DocumentTest, ADocumentOutsideTheApplicationReportsNoRemoval)
{
    const tn::Reference<Document> d(document());
    auto* instance = new DocumentInstance(d);
    app->removeDocument(0);
    EXPECT_FALSE(d->removeInstance(instance)); // the instance is gone, the application had no such document
    EXPECT_EQ(d->getNumInstances(), 0);
}

TEST_F(DocumentTest, ValuesAreFoundInThreeLayers)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    const auto appValue = flag("shared");
    const auto docValue = flag("shared");
    const auto instanceValue = flag("own");
    const auto appOnly = flag("appOnly");
    app->addValue(appValue);
    app->addValue(appOnly);
    d->addValue(docValue); // shadows the application's
    instance->addValue(instanceValue);

    EXPECT_EQ(instance->getValue(CString("own"), false), instanceValue.get());
    EXPECT_EQ(instance->getValue(CString("shared"), false), nullptr);
    EXPECT_EQ(instance->getValue(CString("shared"), true), docValue.get());
    EXPECT_EQ(instance->getValue(CString("appOnly"), true), appOnly.get());
    EXPECT_EQ(instance->getValue(CString("none"), true), nullptr);
    EXPECT_EQ(d->getValue(CString("shared"), false), docValue.get());
    EXPECT_EQ(d->getValue(CString("appOnly"), false), nullptr);
    EXPECT_EQ(d->getValue(CString("appOnly"), true), appOnly.get());
    EXPECT_EQ(d->getValue(CString("own"), true), nullptr); // lookups go outwards only
    EXPECT_EQ(d->getNumValues(), 1);
    EXPECT_EQ(instance->getNumValues(), 1);
}

TEST_F(DocumentTest, EachLayerRefusesNamelessAndDuplicateValues)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    const auto first = flag("x");
    const auto twin = flag("x");
    const auto nameless = flag(nullptr);
    const auto emptyName = flag("");
    for (const auto& add : {std::function<void(Value*)>([&](Value* v) { d->addValue(v); }),
                            std::function<void(Value*)>([&](Value* v) { instance->addValue(v); })}) {
        add(first);
        EXPECT_THROW(add(twin), tnUI::DuplicateError);
        EXPECT_THROW(add(nullptr), tnUI::NullError);
        EXPECT_THROW(add(nameless), tnUI::NullError);
        EXPECT_THROW(add(emptyName), tnUI::NullError);
    }
    EXPECT_EQ(d->getValue(CString("x"), false), first.get());
    EXPECT_EQ(instance->getValue(CString("x"), false), first.get());
    EXPECT_EQ(first->getRefCount(), 3);
    EXPECT_EQ(twin->getRefCount(), 1);
}

TEST_F(DocumentTest, RemovingAValueGoesByItsName)
{
    auto* instance = new DocumentInstance(document());
    const auto stored = flag("x");
    const auto namesake = flag("x");
    instance->addValue(stored);
    EXPECT_FALSE(instance->removeValue(nullptr));
    EXPECT_FALSE(instance->removeValue(flag(nullptr)));
    EXPECT_TRUE(instance->removeValue(namesake)); // removes the stored one
    EXPECT_EQ(stored->getRefCount(), 1);
    EXPECT_FALSE(instance->removeValue(stored));
    EXPECT_EQ(instance->getNumValues(), 0);
}

TEST_F(DocumentTest, RegisterBoolMakesARegisteredFlag)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    BoolValue* a = tnUI::registerBool(app.get(), CString("a"), true);
    BoolValue* b = tnUI::registerBool(d, CString("b"), false);
    BoolValue* c = tnUI::registerBool(instance, CString("c"), true);
    EXPECT_EQ(app->getValue(CString("a")), a);
    EXPECT_EQ(d->getValue(CString("b"), false), b);
    EXPECT_EQ(instance->getValue(CString("c"), false), c);
    for (BoolValue* v : {a, b, c}) {
        EXPECT_EQ(v->getRefCount(), 1); // the owner's registry holds it
        EXPECT_TRUE(v->isSet());
    }
    EXPECT_TRUE(a->getValue());
    EXPECT_FALSE(b->getValue());
    c->setValue(false);
    c->reset(); // the initial value is the default
    EXPECT_TRUE(c->getValue());
}

TEST_F(DocumentTest, ARefusedRegisterBoolLeavesNothingBehind)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    tnUI::registerBool(app.get(), CString("a"), true);
    tnUI::registerBool(d, CString("a"), true);
    tnUI::registerBool(instance, CString("a"), true);
    const int live = tnUI::Entity::numberOfActiveObjects();
    EXPECT_THROW(tnUI::registerBool(app.get(), CString("a"), false), tnUI::DuplicateError);
    EXPECT_THROW(tnUI::registerBool(d, CString("a"), false), tnUI::DuplicateError);
    EXPECT_THROW(tnUI::registerBool(instance, CString("a"), false), tnUI::DuplicateError);
    EXPECT_THROW(tnUI::registerBool(instance, CString(""), false), tnUI::NullError);
    EXPECT_THROW(tnUI::registerBool(static_cast<tnUI::Application*>(nullptr), CString("n"), false), tnUI::NullError);
    EXPECT_THROW(tnUI::registerBool(static_cast<Document*>(nullptr), CString("n"), false), tnUI::NullError);
    EXPECT_THROW(tnUI::registerBool(static_cast<DocumentInstance*>(nullptr), CString("n"), false), tnUI::NullError);
    EXPECT_EQ(tnUI::Entity::numberOfActiveObjects(), live);
    EXPECT_TRUE(static_cast<BoolValue*>(instance->getValue(CString("a"), false))->getValue());
}

TEST_F(DocumentTest, ValueIteratorsVisitEveryOwnValueOnce)
{
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    for (const char* name : {"a", "b", "c"}) {
        tnUI::registerBool(d, CString(name), false);
        tnUI::registerBool(instance, CString(name), true);
    }
    tnUI::registerBool(app.get(), CString("app"), true);

    std::multiset<std::string> seen;
    for (tnUI::DocumentValueIterator it(d); it.valid(); it.next())
        seen.insert(it.get()->nameAsChar());
    EXPECT_EQ(seen, (std::multiset<std::string>{"a", "b", "c"}));

    seen.clear();
    tnUI::DocumentInstanceValueIterator it(instance);
    seen.insert(it.get()->nameAsChar());
    it.next();
    tnUI::DocumentInstanceValueIterator copy = it; // continues from the same place
    for (; copy.valid(); copy.next())
        seen.insert(copy.get()->nameAsChar());
    EXPECT_EQ(seen, (std::multiset<std::string>{"a", "b", "c"}));

    EXPECT_THROW(tnUI::DocumentValueIterator(nullptr), tnUI::NullError);
    EXPECT_THROW(tnUI::DocumentInstanceValueIterator(nullptr), tnUI::NullError);
}

TEST_F(DocumentTest, AnInstanceStartsInTheFirstEnvironment)
{
    auto* before = new DocumentInstance(document());
    EXPECT_EQ(before->getEnvironment(), nullptr);
    EXPECT_EQ(before->getEnvironmentCommands()->getNumElements(), 0);

    Environment* first = environment(app, "first");
    environment(app, "second");
    auto* after = new DocumentInstance(document());
    EXPECT_EQ(after->getEnvironment(), first);
    // Environments registered after an instance was made never reach it.
    EXPECT_EQ(before->getEnvironmentCommands()->getNumElements(), 0);
    EXPECT_EQ(before->getEnvironment(), nullptr);
}

TEST_F(DocumentTest, EnvironmentCommandsCopyTheirEnvironmentsFace)
{
    Environment* paint = environment(app, "paint", "Paint");
    Environment* sculpt = environment(app, "sculpt");
    const tn::Reference<const tnUI::Label> tip(new tnUI::Label("Paint things"));
    paint->setToolTip(tip);
    const tn::Reference<tnUI::ImageFile> icon(
        new tnUI::ImageFile(tn::Reference<tnUI::Filename>(new tnUI::Filename(tnString::IString("paint.png")))));
    paint->setIcon(icon, tnUI::IconState::Normal, tnUI::IconMode::Default);

    auto* instance = new DocumentInstance(document());
    const tnUI::CommandGroup* commands = instance->getEnvironmentCommands();
    EXPECT_EQ(names(commands), (std::vector<std::string>{commandName(instance, 0), commandName(instance, 1)}));
    const tnUI::Element* paintCommand = commands->getElement(0);
    EXPECT_EQ(paintCommand->getLabel(), paint->getLabel());
    EXPECT_EQ(paintCommand->getToolTip(), tip.get());
    const auto* paintInstance = dynamic_cast<const tnUI::CommandInstance*>(paintCommand);
    ASSERT_NE(paintInstance, nullptr);
    EXPECT_EQ(paintInstance->getCommand()->getIcon(tnUI::IconState::Normal, tnUI::IconMode::Default), icon.get());
    EXPECT_EQ(commands->getElement(1)->getLabel(), nullptr);
    EXPECT_EQ(sculpt->getLabel(), nullptr);
    // They belong to the instance alone.
    EXPECT_EQ(app->getNumCommands(), 0);
    EXPECT_EQ(instance->getEnvironmentCommands(), commands);
}

// An instance that leaves out one environment.
class SelectiveInstance : public DocumentInstance {
public:
    SelectiveInstance(Document* d, Environment* left) : DocumentInstance(d), m_left(left) {}
    bool shouldIncludeEnvironment(Environment* e) override { return e != m_left; }

private:
    Environment* m_left;
};

TEST_F(DocumentTest, AHostCanLeaveEnvironmentsOut)
{
    environment(app, "a");
    Environment* b = environment(app, "b");
    environment(app, "c");
    auto* instance = new SelectiveInstance(document(), b);
    EXPECT_EQ(names(instance->getEnvironmentCommands()),
              (std::vector<std::string>{commandName(instance, 0), commandName(instance, 2)}));
}

TEST_F(DocumentTest, ExecutingAnEnvironmentCommandSwitchesOnlyItsInstance)
{
    environment(app, "a");
    Environment* b = environment(app, "b");
    Document* d = document();
    auto* active = new DocumentInstance(d);
    auto* other = new DocumentInstance(d);
    app->setActiveDocumentInstance(active);

    std::vector<Environment*> changes;
    tnRTB::SignalClient client;
    tnRTB::connect(other->environmentChangedSignal, &client, [&](Environment* e) { changes.push_back(e); });
    tnRTB::connect(active->environmentChangedSignal, &client, [&](Environment*) { ADD_FAILURE(); });

    auto* command = dynamic_cast<tnUI::CommandInstance*>(other->getEnvironmentCommands()->getElement(1));
    ASSERT_NE(command, nullptr);
    ASSERT_NE(command->asMomentary(), nullptr);
    const tn::Reference<tnUI::CallInfo> call(new tnUI::CallInfo(nullptr, nullptr, nullptr, nullptr));
    command->asMomentary()->execute(*call);
    EXPECT_EQ(changes, std::vector<Environment*>{b});
    EXPECT_EQ(other->getEnvironment(), b);
    EXPECT_EQ(active->getEnvironment(), app->getEnvironment(0));
    EXPECT_EQ(app->getActiveEnvironment(), nullptr);
}

TEST_F(DocumentTest, SetEnvironmentAnnouncesEveryCall)
{
    Environment* a = environment(app, "a");
    auto* instance = new DocumentInstance(document());
    std::vector<Environment*> changes;
    tnRTB::SignalClient client;
    tnRTB::connect(instance->environmentChangedSignal, &client, [&](Environment* e) { changes.push_back(e); });
    instance->setEnvironment(a);
    instance->setEnvironment(nullptr);
    EXPECT_EQ(changes, (std::vector<Environment*>{a, nullptr}));
    EXPECT_EQ(instance->getEnvironment(), nullptr);
}

TEST_F(DocumentTest, AnInstanceOutlivingItsOwnersForgetsThem)
{
    const tn::Reference<Environment> e(environment(app, "e"));
    const tn::Reference<Document> d(document());
    const tn::Reference<DocumentInstance> instance(new DocumentInstance(d));
    tn::Reference<tnUI::CommandGroup> commands(instance->getEnvironmentCommands());
    app = nullptr;
    EXPECT_EQ(d->getApplication(), nullptr);
    EXPECT_EQ(instance->getApplication(), nullptr);
    EXPECT_EQ(d->getValue(CString("x"), true), nullptr);
    EXPECT_EQ(instance->getEnvironment(), e.get()); // still alive, held here
    auto* command = dynamic_cast<tnUI::CommandInstance*>(commands->getElement(0));
    ASSERT_NE(command, nullptr);
    d->removeInstance(instance);
    const tn::Reference<tnUI::CallInfo> call(new tnUI::CallInfo(nullptr, nullptr, nullptr, nullptr));
    command->asMomentary()->execute(*call); // its instance lives on, held here
    EXPECT_EQ(instance->getEnvironment(), e.get());
    EXPECT_EQ(instance->getDocument(), d.get());
}

TEST_F(DocumentTest, EnvironmentCommandsOutlivingTheirInstanceDoNothing)
{
    environment(app, "a");
    environment(app, "b");
    Document* d = document();
    auto* instance = new DocumentInstance(d);
    new DocumentInstance(d); // keeps the document alive
    tn::Reference<tnUI::CommandGroup> commands(instance->getEnvironmentCommands());
    d->removeInstance(instance);
    auto* command = dynamic_cast<tnUI::CommandInstance*>(commands->getElement(1));
    const tn::Reference<tnUI::CallInfo> call(new tnUI::CallInfo(nullptr, nullptr, nullptr, nullptr));
    command->asMomentary()->execute(*call);
}

TEST_F(DocumentTest, DumpsNameTheirParts)
{
    environment(app, "env");
    Document* d = document("doc");
    tnUI::registerBool(d, CString("docFlag"), true);
    auto* instance = new DocumentInstance(d);
    tnUI::registerBool(instance, CString("instanceFlag"), false);
    new tnUITest::HostDocumentWindow(instance);
    tnUITest::DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    instance->dump(dump.file, 0, nullptr);
    std::string text;
    for (const auto& line : dump.lines())
        text += line + "\n";
    for (const char* part :
         {"\"document\"", "\"application\"", "1 document instances", "\"controller\"", "\"environment commands\"",
          "\"current environment\"", "docFlag", "instanceFlag", "1 values", "\"document window\""})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

class EnvironmentTest : public tnUITest::CountedTest {};

TEST_F(EnvironmentTest, NamesItselfAndItsCommandGroup)
{
    const tn::Reference<Environment> labeled(new Environment(CString("paint"), tnString::IString("Paint")));
    EXPECT_STREQ(labeled->nameAsChar(), "paint");
    EXPECT_STREQ(labeled->getCommandGroup()->nameAsChar(), "paint");
    ASSERT_NE(labeled->getLabel(), nullptr);
    EXPECT_EQ(labeled->getLabel()->asString(), tnString::IString("Paint"));
    const tn::Reference<Environment> plain(new Environment(CString("plain"), tnString::IString()));
    EXPECT_EQ(plain->getLabel(), nullptr);
    EXPECT_EQ(plain->getParent(), nullptr);
}

TEST_F(EnvironmentTest, TheDefaultCommandFallsBackOnTheInitialOne)
{
    const tn::Reference<Environment> e(new Environment(CString("e"), tnString::IString()));
    EXPECT_EQ(e->getDefaultCommand(), nullptr);
    e->setInitialCommand(CString("select"));
    ASSERT_NE(e->getDefaultCommand(), nullptr);
    EXPECT_STREQ(e->getDefaultCommand()->asChar(), "select");
    e->setDefaultCommand(CString("brush"));
    EXPECT_STREQ(e->getDefaultCommand()->asChar(), "brush");
    EXPECT_STREQ(e->getInitialCommand()->asChar(), "select");

    tnUITest::DumpCapture dump;
    ASSERT_TRUE(dump.opened());
    e->dump(dump.file, 0, nullptr);
    const auto lines = dump.lines();
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    const auto defaultAt = text.find("\"default command\"");
    const auto initialAt = text.find("\"initial command\"");
    EXPECT_NE(defaultAt, std::string::npos) << text;
    EXPECT_LT(defaultAt, initialAt);
}

TEST_F(EnvironmentTest, CommandsAreFoundUpTheParentChain)
{
    const tn::Reference<Environment> base(new Environment(CString("base"), tnString::IString()));
    const tn::Reference<Environment> child(new Environment(CString("child"), tnString::IString()));
    const tn::Reference<tnUI::TestCommandDefn> select(new tnUI::TestCommandDefn(CString("select")));
    const tn::Reference<tnUI::TestCommandDefn> brush(new tnUI::TestCommandDefn(CString("brush")));
    base->getCommandGroup()->appendItem(tn::Reference<tnUI::CommandInstance>(new tnUI::CommandInstance(select)));
    child->getCommandGroup()->appendItem(tn::Reference<tnUI::CommandInstance>(new tnUI::CommandInstance(brush)));
    EXPECT_TRUE(child->isCommandInEnvironment(CString("brush")));
    EXPECT_FALSE(child->isCommandInEnvironment(CString("select")));
    child->setParent(base);
    EXPECT_TRUE(child->isCommandInEnvironment(CString("select")));
    EXPECT_FALSE(base->isCommandInEnvironment(CString("brush")));
    EXPECT_FALSE(child->isCommandInEnvironment(CString("eraser")));
}

TEST_F(EnvironmentTest, TheParentChainStaysFreeOfCycles)
{
    const tn::Reference<Environment> a(new Environment(CString("a"), tnString::IString()));
    const tn::Reference<Environment> b(new Environment(CString("b"), tnString::IString()));
    b->setParent(a);
    EXPECT_THROW(a->setParent(b), tnUI::CycleError);
    EXPECT_THROW(a->setParent(a), tnUI::CycleError);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_FALSE(a->isCommandInEnvironment(CString("x")));
}

TEST_F(EnvironmentTest, ADeadParentIsForgotten)
{
    const tn::Reference<Environment> child(new Environment(CString("child"), tnString::IString()));
    tn::Reference<Environment> parent(new Environment(CString("parent"), tnString::IString()));
    const tn::Reference<Environment> later(new Environment(CString("later"), tnString::IString()));
    child->setParent(parent);
    child->setParent(later);
    child->setParent(parent);
    parent = nullptr;
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(later->destroyedSignal.getNumConnections(), 0);
}

} // namespace
