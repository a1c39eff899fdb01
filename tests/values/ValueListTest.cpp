// Value lists: insertion order and position look-up, reset order, members'
// changes passed on while they are members, and assign in place, by clones
// and by dropping.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/ValueList.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using tnLinear::epsilonTol;
using tnUI::Message;
using tnUI::RealValue;
using tnUI::Value;
using tnUI::ValueList;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ValueListTest : public tnUITest::EntityTest {};

tn::Reference<RealValue> real(double v)
{
    return tn::Reference<RealValue>(new RealValue(v));
}

TEST_F(ValueListTest, InsertionOrderPositionsAndErrors)
{
    const tn::Reference<ValueList> list(new ValueList);
    const auto a = real(1), b = real(2);
    list->addValue(0.5, a);
    list->addValue(0.0, b);
    list->addValue(0.5, b);
    EXPECT_EQ(std::tuple(list->size(), list->getValue(0), list->getValue(1), list->getPosition(1)),
              std::tuple(3, static_cast<Value*>(a.get()), static_cast<Value*>(b.get()), 0.0));
    struct Find {
        double p;
        int index;
    };
    for (const Find& f : {Find{0.5 + epsilonTol / 2, 0}, {0.5 - epsilonTol, -1}, {0.25, -1}, {-epsilonTol / 2, 1}})
        EXPECT_EQ(list->findPosition(f.p), f.index) << f.p;

    EXPECT_THROW(list->addValue(1.0, nullptr), tnUI::NullError);
    EXPECT_EQ(list->size(), 3);
    EXPECT_THROW(list->getValue(3), tnUI::IndexError);
    EXPECT_THROW(list->removeValue(-1), tnUI::IndexError);
    list->removeValue(0);
    EXPECT_EQ(std::tuple(list->getValue(0), list->getPosition(1)), std::tuple(static_cast<Value*>(b.get()), 0.5));

    // Reset goes in order and stops at an unset member.
    const tn::Reference<RealValue> unset(new RealValue);
    list->addValue(0, unset);
    list->addValue(0, a);
    b->setInternalValue(20);
    a->setInternalValue(10);
    EXPECT_THROW(list->reset(), tnUI::NotSetError);
    EXPECT_EQ(std::tuple(b->evalInternal(), a->evalInternal()), std::tuple(2.0, 10.0));
}

TEST_F(ValueListTest, MembersChangesArePassedOnWhileTheyAreMembers)
{
    const tn::Reference<ValueList> list(new ValueList);
    const auto a = real(1), b = real(2), c = real(3);
    list->addValue(0, a);
    list->addValue(1, b);
    list->addValue(2, c);
    MessageRecorder recorder(list);
    a->setInternalValue(5);
    a->setInternalValue(5);
    b->setInternalValue(6);
    list->removeValue(0);
    a->setInternalValue(7);
    list->clear();
    b->setInternalValue(8);
    c->setInternalValue(9);
    EXPECT_EQ(recorder.chains, (std::vector<Chain>{{{list.get(), Message::Forward}, {a.get(), Message::Value}},
                                                   {{list.get(), Message::Forward}, {b.get(), Message::Value}}}));
}

TEST_F(ValueListTest, AssignUpdatesInPlaceClonesAndDrops)
{
    const tn::Reference<ValueList> source(new ValueList), target(new ValueList);
    const auto s0 = real(1), s1 = real(2), t0 = real(9);
    const tn::Reference<tnUI::BoolValue> flag(new tnUI::BoolValue(true));
    source->addValue(0.25, s0);
    source->addValue(0.5, s1);
    source->addValue(0.75, flag); // cannot be cloned: left out
    source->setEditble(false);
    target->addValue(3.0, t0);
    MessageRecorder recorder(target);
    EXPECT_FALSE(target->assign(s0));
    EXPECT_TRUE(target->assign(source));
    EXPECT_TRUE(recorder.chains.empty());
    ASSERT_EQ(target->size(), 2);
    Value* clone = target->getValue(1);
    EXPECT_EQ(std::tuple(target->getValue(0), target->getPosition(0), target->getPosition(1), target->getEditable()),
              std::tuple(static_cast<Value*>(t0.get()), 0.25, 0.5, false));
    EXPECT_NE(clone, s1.get());
    EXPECT_EQ(std::tuple(t0->evalInternal(), dynamic_cast<RealValue*>(clone)->evalInternal()), std::tuple(1.0, 2.0));
    // The clone is a member like any other: its changes are passed on.
    tnUI::setInternalValue(clone, 4.0);
    EXPECT_EQ(recorder.chains.size(), 1u);

    const tn::Reference<ValueList> shorter(new ValueList);
    const auto other = real(7);
    shorter->addValue(1.5, other);
    EXPECT_TRUE(target->assign(shorter));
    EXPECT_EQ(std::tuple(target->size(), target->getValue(0), target->getPosition(0), t0->evalInternal()),
              std::tuple(1, static_cast<Value*>(t0.get()), 1.5, 7.0));
}

} // namespace
