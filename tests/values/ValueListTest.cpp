// Value lists: assign in place, by clones and by dropping, and refused null
// members. Insertion order, positions found within the tolerance, removal,
// resets and the passing on of members' changes are checked against a model
// by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/ValueList.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using tnUI::RealValue;
using tnUI::Value;
using tnUI::ValueList;
using tnUITest::MessageRecorder;

class ValueListTest : public tnUITest::EntityTest {};

tn::Reference<RealValue> real(double v)
{
    return tn::Reference<RealValue>(new RealValue(v));
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
    EXPECT_THROW(target->addValue(1.0, nullptr), tnUI::NullError);
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
    shorter->addValue(1.5, real(7));
    EXPECT_TRUE(target->assign(shorter));
    EXPECT_EQ(std::tuple(target->size(), target->getValue(0), target->getPosition(0), t0->evalInternal()),
              std::tuple(1, static_cast<Value*>(t0.get()), 1.5, 7.0));
}

} // namespace
