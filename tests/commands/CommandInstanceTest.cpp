// Command instances without documents: presentation falling back on the
// definition, the message chain from the definition's parts to the
// instance's listeners, the enabled, checked and visible rules, selection,
// grouping, the value table and its iterator.

#include "commands/CommandTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Filename.h>
#include <tnUI/entity/ImageFile.h>
#include <tnUI/entity/Label.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/IntValue.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using tnString::CString;
using tnUI::BoolValue;
using tnUI::CommandInstance;
using tnUI::IconMode;
using tnUI::IconState;
using tnUI::Message;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class CommandInstanceTest : public tnUITest::EntityTest {
protected:
    void SetUp() override
    {
        EntityTest::SetUp();
        defn = new tnUI::MomentaryCommandDefn(CString("print"));
        ci = new CommandInstance(defn.get());
    }
    void TearDown() override
    {
        ci = nullptr;
        defn = nullptr;
        EntityTest::TearDown();
    }

    tn::Reference<tnUI::MomentaryCommandDefn> defn;
    tn::Reference<CommandInstance> ci;
};

tn::Reference<tnUI::Label> label(const char* text)
{
    return tn::Reference<tnUI::Label>(new tnUI::Label(text));
}

tn::Reference<tnUI::ImageFile> icon(const char* path)
{
    return tn::Reference<tnUI::ImageFile>(new tnUI::ImageFile(new tnUI::Filename(tnString::IString(path))));
}

TEST_F(CommandInstanceTest, NullDefinitionIsRefused)
{
    EXPECT_THROW(new CommandInstance(nullptr), tnUI::NullError);
    EXPECT_EQ(ci->getCommand(), defn.get());
    EXPECT_EQ(ci->asMomentary(), defn.get());
    EXPECT_EQ(ci->asContinuous(), nullptr);
    EXPECT_TRUE(ci->isMomentary());
    EXPECT_FALSE(ci->isContinuous());
    EXPECT_TRUE(ci->actsLikeMomentary());
    EXPECT_TRUE(ci->isItem());
    EXPECT_TRUE(ci->isCommand());
}

TEST_F(CommandInstanceTest, PresentationFallsBackOnTheDefinitionSlotBySlot)
{
    const auto defnIcon = icon("print.png"), ownIcon = icon("print-now.png");
    const auto defnLabel = label("Print"), defnTip = label("Print it"), ownLabel = label("Print now");
    const tn::Reference<tnUI::HelpRef> help(new tnUI::HelpRef(tnString::IString(L"printing")));
    defn->setLabel(defnLabel.get());
    defn->setToolTip(defnTip.get());
    defn->setHelpRef(help.get());
    defn->setIcon(defnIcon.get(), IconState::Normal, IconMode::Default);
    defn->setIcon(defnIcon.get(), IconState::Active, IconMode::Alternate);

    // Nothing of its own: everything is the definition's.
    const CommandInstance& view = *ci;
    EXPECT_STREQ(ci->nameAsChar(), "print");
    EXPECT_EQ(ci->getLabel(), defnLabel.get());
    EXPECT_EQ(ci->getToolTip(), defnTip.get());
    EXPECT_EQ(ci->getHelpRef(), help.get());
    EXPECT_EQ(ci->getIcon(IconState::Normal, IconMode::Default), defnIcon.get());
    EXPECT_EQ(view.getIcon(IconState::Active, IconMode::Alternate), defnIcon.get());
    EXPECT_EQ(view.getIcon(IconState::Disabled, IconMode::Default), nullptr);

    // Its own label and one icon slot win; the other slots still fall back.
    ci->setLabel(ownLabel.get());
    ci->setName(CString("print2"));
    ci->setIcon(ownIcon.get(), IconState::Normal, IconMode::Default);
    EXPECT_EQ(ci->getLabel(), ownLabel.get());
    EXPECT_STREQ(ci->nameAsChar(), "print2");
    EXPECT_EQ(ci->getIcon(IconState::Normal, IconMode::Default), ownIcon.get());
    EXPECT_EQ(view.getIcon(IconState::Active, IconMode::Alternate), defnIcon.get());
    EXPECT_EQ(ci->getToolTip(), defnTip.get());

    // Cleared again, it falls back; later changes of the definition show.
    ci->setLabel(nullptr);
    EXPECT_EQ(ci->getLabel(), defnLabel.get());
    const auto newer = label("Print all");
    defn->setLabel(newer.get());
    EXPECT_EQ(ci->getLabel(), newer.get());
}

// A host's definition whose label depends on a mode: the instance asks it
// through its virtual getter.
class ModalLabelCommand : public tnUI::MomentaryCommandDefn {
public:
    ModalLabelCommand() : MomentaryCommandDefn(CString("mode")), on(new tnUI::Label("On")), off(new tnUI::Label("Off"))
    {}
    const tnUI::Label* getLabel() const override { return active ? on.get() : off.get(); }

    bool active = false;
    tn::Reference<tnUI::Label> on, off;
};

TEST_F(CommandInstanceTest, FallbackAsksTheDefinitionsVirtualGetter)
{
    const tn::Reference<ModalLabelCommand> modal(new ModalLabelCommand);
    const tn::Reference<CommandInstance> instance(new CommandInstance(modal.get()));
    EXPECT_EQ(instance->getLabel(), modal->off.get());
    modal->active = true;
    EXPECT_EQ(instance->getLabel(), modal->on.get());
}

TEST_F(CommandInstanceTest, MutableLabelOfTheDefinitionReachesTheInstancesListener)
{
    const tn::Reference<tnUI::MutableLabel> text(new tnUI::MutableLabel("Print"));
    defn->setLabel(text.get());
    MessageRecorder recorder(ci.get());
    text->set("Print all");
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0],
              (Chain{{ci.get(), Message::Forward}, {defn.get(), Message::Forward}, {text.get(), Message::Label}}));

    // And the definition's enabled condition, resent as "Appearance" by it.
    const tn::Reference<BoolValue> ready(new BoolValue(true));
    defn->setEnabledExpression(ready.get());
    ready->setValue(false);
    ASSERT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1],
              (Chain{{ci.get(), Message::Forward}, {defn.get(), Message::Appearance}, {ready.get(), Message::Value}}));
}

TEST_F(CommandInstanceTest, EnabledNeedsTheDefinitionAndTheInstance)
{
    struct Case {
        const char* what;
        int defnExpr;     // -1 none, 0 false, 1 true
        int instanceExpr; // the same
        bool enabled;
    };
    const Case cases[] = {
        {"nothing set", -1, -1, true},
        {"instance false", -1, 0, false},
        {"instance true", -1, 1, true},
        {"definition false wins over instance true", 0, 1, false},
        {"definition false alone", 0, -1, false},
        {"both true", 1, 1, true},
        {"definition true, instance false", 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const tn::Reference<BoolValue> d(c.defnExpr < 0 ? nullptr : new BoolValue(c.defnExpr == 1));
        const tn::Reference<BoolValue> i(c.instanceExpr < 0 ? nullptr : new BoolValue(c.instanceExpr == 1));
        defn->setEnabledExpression(d.get());
        ci->setEnabledExpression(i.get());
        EXPECT_EQ(ci->getEnabled(), c.enabled);
    }
}

TEST_F(CommandInstanceTest, CheckedIsTrueWithoutAnExpression)
{
    EXPECT_TRUE(ci->getChecked());
    const tn::Reference<BoolValue> checked(new BoolValue(false));
    ci->setCheckedExpression(checked.get());
    EXPECT_FALSE(ci->getChecked());
    checked->setValue(true);
    EXPECT_TRUE(ci->getChecked());
    ci->setCheckedExpression(nullptr);
    EXPECT_TRUE(ci->getChecked());
}

TEST_F(CommandInstanceTest, ExpressionChangesArriveAsAppearanceButSettingSendsNothing)
{
    const tn::Reference<BoolValue> a(new BoolValue(false)), b(new BoolValue(false)), c(new BoolValue(false)),
        d(new BoolValue(false));
    MessageRecorder recorder(ci.get());
    ci->setEnabledExpression(a.get());
    ci->setCheckedExpression(b.get());
    ci->setVisibilityExpression(c.get());
    ci->setGroupExclusiveExpression(d.get());
    EXPECT_TRUE(recorder.chains.empty());

    for (BoolValue* v : {a.get(), b.get(), c.get(), d.get()}) {
        recorder.chains.clear();
        v->setValue(true);
        ASSERT_EQ(recorder.chains.size(), 1U);
        EXPECT_EQ(recorder.chains[0], (Chain{{ci.get(), Message::Appearance}, {v, Message::Value}}));
    }

    // Replacing one expression lets go of the old one only.
    ci->setCheckedExpression(nullptr);
    recorder.chains.clear();
    b->setValue(false);
    a->setValue(false);
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0].back().entity, a.get());
}

TEST_F(CommandInstanceTest, OneExpressionInTwoSlotsStaysHeardWhenOneSlotLetsGo)
{
    const tn::Reference<BoolValue> shared(new BoolValue(false));
    MessageRecorder recorder(ci.get());
    ci->setEnabledExpression(shared.get());
    ci->setCheckedExpression(shared.get());
    shared->setValue(true);
    EXPECT_EQ(recorder.chains.size(), 2U); // heard once per slot

    ci->setCheckedExpression(nullptr);
    recorder.chains.clear();
    shared->setValue(false);
    EXPECT_EQ(recorder.chains.size(), 1U); // the enabled slot still listens
    EXPECT_FALSE(ci->getEnabled());
}

TEST_F(CommandInstanceTest, SetVisibleMakesAFlagOnceThenChangesIt)
{
    MessageRecorder recorder(ci.get());
    ci->setVisible(false);
    ASSERT_EQ(recorder.chains.size(), 1U);
    EXPECT_EQ(recorder.chains[0], (Chain{{ci.get(), Message::Appearance}}));
    auto* flag = dynamic_cast<BoolValue*>(ci->getVisibilityExpression());
    ASSERT_NE(flag, nullptr);
    EXPECT_FALSE(flag->getValue());
    EXPECT_EQ(flag->getRefCount(), 1);

    ci->setVisible(true);
    EXPECT_EQ(ci->getVisibilityExpression(), flag);
    EXPECT_TRUE(flag->getValue());
    ASSERT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1], (Chain{{ci.get(), Message::Appearance}, {flag, Message::Value}}));

    ci->setVisible(true); // no change, no message
    EXPECT_EQ(recorder.chains.size(), 2U);
}

TEST_F(CommandInstanceTest, SetVisibleRefusesAComputedVisibility)
{
    const tn::Reference<BoolValue> shown(new BoolValue(true));
    const tn::Reference<tnUI::ExpressionNot> hidden(new tnUI::ExpressionNot(shown.get()));
    ci->setVisibilityExpression(hidden.get());
    EXPECT_THROW(ci->setVisible(true), tnUI::TypeError);
    EXPECT_EQ(ci->getVisibilityExpression(), hidden.get());
    EXPECT_TRUE(shown->getValue());
}

TEST_F(CommandInstanceTest, SelectedIsAnnouncedOnlyOnChange)
{
    MessageRecorder recorder(ci.get());
    ci->setSelected(true);
    ci->setSelected(true);
    EXPECT_TRUE(ci->getSelected());
    EXPECT_EQ(recorder.chains.size(), 1U);
    ci->setSelected(false);
    ASSERT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains[1], (Chain{{ci.get(), Message::Appearance}}));
}

TEST_F(CommandInstanceTest, GroupExclusiveExpressionOnlyWhileGrouped)
{
    const tn::Reference<BoolValue> exclusive(new BoolValue(true));
    MessageRecorder recorder(ci.get());
    ci->setGroupExclusiveExpression(exclusive.get());
    EXPECT_FALSE(ci->isGrouped());
    EXPECT_EQ(ci->getGroupExclusiveExpression(), nullptr);

    ci->setGroupedName(CString("alignment"));
    EXPECT_TRUE(ci->isGrouped());
    EXPECT_EQ(ci->getGroupedName(), CString("alignment"));
    EXPECT_EQ(ci->getGroupExclusiveExpression(), exclusive.get());
    EXPECT_EQ(static_cast<const CommandInstance&>(*ci).getGroupExclusiveExpression(), exclusive.get());

    ci->setGroupedName(CString(""));
    EXPECT_FALSE(ci->isGrouped());
    EXPECT_EQ(ci->getGroupExclusiveExpression(), nullptr);
    EXPECT_TRUE(recorder.chains.empty());
}

tn::Reference<tnUI::Value> named(const char* name, bool v = true)
{
    tn::Reference<tnUI::Value> value(new BoolValue(v));
    if (name)
        value->setName(CString(name));
    return value;
}

TEST_F(CommandInstanceTest, ValueTableKeepsTheFirstOfANameAndRemovesByName)
{
    const auto width = named("width"), width2 = named("width", false), nameless = named(nullptr);
    ci->addValue(width.get());
    EXPECT_THROW(ci->addValue(width2.get()), tnUI::DuplicateError);
    EXPECT_THROW(ci->addValue(nullptr), tnUI::NullError);
    EXPECT_THROW(ci->addValue(nameless.get()), tnUI::NullError);
    EXPECT_EQ(ci->getNumValues(), 1);
    EXPECT_EQ(ci->getValue(CString("width")), width.get());
    EXPECT_EQ(ci->getValue(CString("height")), nullptr);
    EXPECT_EQ(width->getRefCount(), 2);

    EXPECT_FALSE(ci->removeValue(nullptr));
    EXPECT_FALSE(ci->removeValue(nameless.get()));
    EXPECT_TRUE(ci->removeValue(width2.get())); // same name, other object: the stored one goes
    EXPECT_EQ(ci->getNumValues(), 0);
    EXPECT_EQ(width->getRefCount(), 1);
    EXPECT_FALSE(ci->removeValue(width.get()));
}

TEST_F(CommandInstanceTest, ValueIteratorVisitsEveryValueOnceAndCopiesKeepTheirPlace)
{
    EXPECT_THROW(tnUI::CommandInstanceValueIterator(nullptr), tnUI::NullError);
    EXPECT_FALSE(tnUI::CommandInstanceValueIterator(ci.get()).valid());

    const auto a = named("a"), b = named("b"), c = named("c");
    for (const auto& v : {a, b, c})
        ci->addValue(v.get());
    std::set<tnUI::Value*> seen;
    tnUI::CommandInstanceValueIterator it(ci.get());
    tnUI::Value* first = it.get();
    it.next();
    tnUI::CommandInstanceValueIterator copy = it;
    for (; it.valid(); it.next())
        seen.insert(it.get());
    seen.insert(first);
    EXPECT_EQ(seen, (std::set<tnUI::Value*>{a.get(), b.get(), c.get()}));

    // The copy carries on from where it was taken: the two remaining values.
    int remaining = 0;
    for (; copy.valid(); copy.next())
        remaining += copy.get() != first ? 1 : 0;
    EXPECT_EQ(remaining, 2);
}

TEST_F(CommandInstanceTest, InstanceHoldsItsDefinitionAndValuesUntilItDies)
{
    const auto value = named("v");
    ci->addValue(value.get());
    const tn::Reference<BoolValue> expr(new BoolValue(true));
    ci->setEnabledExpression(expr.get());
    EXPECT_EQ(defn->getRefCount(), 2);
    ci = nullptr;
    EXPECT_EQ(defn->getRefCount(), 1);
    EXPECT_EQ(value->getRefCount(), 1);
    EXPECT_EQ(expr->getRefCount(), 1);
    // The dead instance no longer listens.
    EXPECT_EQ(defn->messageSignal.getNumConnections(), 0);
    EXPECT_EQ(expr->messageSignal.getNumConnections(), 0);
}

} // namespace
