// Real values in display units, clones and the typed setters. Stores,
// ranges, resets, unset reads, editable flags and assigns of every scalar
// kind are checked against a model by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/IntValue.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/TextValue.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

namespace {

using tnUI::BoolValue;
using tnUI::IntValue;
using tnUI::Message;
using tnUI::RealValue;
using tnUI::Value;
using tnUITest::MessageRecorder;

class ScalarValueTest : public tnUITest::EntityTest {};

// Shown in half internal units: a display number is twice the internal one.
class HalfUnitValue : public RealValue {
public:
    double getDisplayConversionFactor() const override { return 2.0; }
};

TEST_F(ScalarValueTest, DisplayUnitsSilentStoresAndListenersReadingTheNewNumber)
{
    const tn::Reference<HalfUnitValue> value(new HalfUnitValue);
    value->setRange(0, 10);
    std::vector<double> seen;
    tnRTB::SignalClient client;
    tnRTB::connect(value->messageSignal, &client, [&](Message&) { seen.push_back(value->evalInternal()); });

    EXPECT_TRUE(value->setDisplayValueSilent(5.0) && value->setInternalValueSilent(1.0));
    EXPECT_TRUE(seen.empty());
    // Clamped in internal units: 30 display units are 15 internal ones.
    EXPECT_TRUE(value->setDisplayValue(30.0));
    EXPECT_EQ(value->evalDisplay(), 20.0);
    EXPECT_FALSE(value->setDisplayValue(21.0));
    value->reset();
    EXPECT_EQ(seen, (std::vector<double>{10.0, 2.5}));
}

// A flag whose reading is replaced: evaluation follows it.
class InvertedFlag : public BoolValue {
public:
    using BoolValue::BoolValue;
    bool getValue() const override { return !BoolValue::getValue(); }
};

TEST_F(ScalarValueTest, CloneOfARealIsIndependentAndSharesTheName)
{
    const tn::Reference<HalfUnitValue> original(new HalfUnitValue);
    original->setName(tnString::CString("zoom"));
    original->setInternalValue(2.0);
    original->setInternalValue(3.0);
    original->setRange(0, 4);
    original->setEditble(false);
    MessageRecorder recorder(original);

    const tn::Reference<Value> copy = original->clone();
    auto* real = dynamic_cast<RealValue*>(copy.get());
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(std::tuple(real->getDisplayConversionFactor(), real->getName(), real->getRange(), real->getEditable()),
              std::tuple(1.0, original->getName(), tnLinear::Range1d(0, 4), false));
    real->reset();
    EXPECT_EQ(std::tuple(real->evalInternal(), original->evalInternal()), std::tuple(2.0, 3.0));
    EXPECT_TRUE(recorder.chains.empty());

    EXPECT_FALSE(dynamic_cast<RealValue*>(tn::Reference<RealValue>(new RealValue)->clone().get())->isSet());
    // Only reals clone.
    for (const tn::Reference<Value>& other :
         {tn::Reference<Value>(new IntValue(1)), tn::Reference<Value>(new BoolValue),
          tn::Reference<Value>(new tnUI::TextValue)})
        EXPECT_FALSE(other->clone());
}

TEST_F(ScalarValueTest, TypedSettersCheckTheKind)
{
    const tn::Reference<HalfUnitValue> half(new HalfUnitValue);
    const tn::Reference<IntValue> integer(new IntValue);
    const tn::Reference<BoolValue> flag(new BoolValue);
    const tn::Reference<tnUI::TextValue> text(new tnUI::TextValue);
    // Each setter, the value of its kind (unit values count as real ones),
    // and the values of other kinds.
    struct Case {
        std::function<void(Value*)> set;
        Value* right;
        std::vector<Value*> wrong;
    };
    const Case cases[] = {
        {[](Value* v) { tnUI::setValue(v, true); }, flag, {half, integer, text}},
        {[](Value* v) { tnUI::setValue(v, 5); }, integer, {half, flag, text}},
        {[](Value* v) { tnUI::setInternalValue(v, 1.0); }, half, {integer, flag, text}},
        {[](Value* v) { tnUI::setDisplayValue(v, 4.0); }, half, {integer, flag, text}},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(c.set(nullptr), tnUI::NullError);
        for (Value* v : c.wrong)
            EXPECT_THROW(c.set(v), tnUI::TypeError);
        c.set(c.right);
    }
    EXPECT_EQ(std::tuple(flag->getValue(), integer->getValue(), half->evalInternal()), std::tuple(true, 5, 2.0));
}

} // namespace
