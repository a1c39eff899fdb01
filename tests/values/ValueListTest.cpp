// Value lists: assign in place, by clones and by dropping, refused members,
// cycles and uncloneable sources, and assigns whose members' messages reach
// listeners that edit the lists. Insertion order, positions found within the tolerance, removal,
// resets and the passing on of members' changes are checked against a model
// by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/RealValueArray.h>
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

    // A member that cannot be cloned refuses the assign before anything
    // changed, every time.
    source->addValue(0.75, flag);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(target->assign(source), tnUI::TypeError);
        EXPECT_EQ(std::tuple(target->size(), target->getPosition(0), t0->evalInternal()), std::tuple(1, 1.5, 7.0));
    }
}

TEST_F(ValueListTest, ListsThatWouldHoldThemselvesAreRefused)
{
    const tn::Reference<ValueList> a(new ValueList), b(new ValueList), c(new ValueList);
    a->addValue(0, b);
    b->addValue(0, c);
    b->addValue(1, c); // shared, not a cycle
    for (ValueList* into : {a.get(), b.get(), c.get()}) {
        const int size = into->size();
        EXPECT_THROW(into->addValue(2, a), tnUI::CycleError);
        EXPECT_EQ(into->size(), size);
    }
    EXPECT_THROW(c->addValue(2, b), tnUI::CycleError);
    c->addValue(2, real(1));
    a->reset();
}

// Members' assigns announce second clamps (a 2-vector ranged [2, 3] given 0.5
// ranged [0, 1]); the listener then edits the lists or drops them.
TEST_F(ValueListTest, AssignSurvivesListenersThatEditOrDropTheLists)
{
    const auto clamped = [] {
        const tn::Reference<tnUI::RealValue2> v(new tnUI::RealValue2);
        v->setInternalValue(5, 5);
        v->getValue(0)->setRange(2, 3);
        return v;
    };
    const auto half = [] {
        const tn::Reference<tnUI::RealValue2> v(new tnUI::RealValue2);
        v->setInternalValue(0.5, 0.5);
        v->getValue(0)->setRange(0, 1);
        return v;
    };
    const auto lists = [&](tn::Reference<ValueList>& target, tn::Reference<ValueList>& source) {
        target = new ValueList;
        source = new ValueList;
        for (int i = 0; i < 3; ++i) {
            target->addValue(i, clamped());
            source->addValue(10 + i, half());
        }
        source->addValue(13, real(4));
    };
    tn::Reference<ValueList> target, source;
    lists(target, source);
    int heard = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(target->messageSignal, &client, [&](tnUI::Message&) {
        ++heard;
        source->removeValue(source->size() - 1);
    });
    EXPECT_TRUE(target->assign(source));
    EXPECT_EQ(std::tuple(heard, target->size(), target->getPosition(0), target->getPosition(1)),
              std::tuple(2, 2, 10.0, 11.0));

    lists(target, source);
    tnRTB::connect(target->messageSignal, &client, [&](tnUI::Message&) { source = target = nullptr; });
    ValueList* t = target.get();
    t->assign(source);
    EXPECT_EQ(target, nullptr);
}

} // namespace
