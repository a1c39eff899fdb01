// Real values: listeners reading the new number, clones, and typed setters
// refusing null and text. Stores (in display units too), ranges, resets,
// unset reads, editable flags, assigns and setters of the wrong kind are
// checked against a model by the value fuzzer.

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

TEST_F(ScalarValueTest, ListenersReadTheNewNumber)
{
    const tn::Reference<HalfUnitValue> value(new HalfUnitValue);
    value->setRange(0, 10);
    std::vector<double> seen;
    tnRTB::SignalClient client;
    tnRTB::connect(value->messageSignal, &client, [&](Message&) { seen.push_back(value->evalInternal()); });
    value->setInternalValueSilent(2.5);
    // Clamped in internal units: 30 display units are 15 internal ones.
    value->setDisplayValue(30.0);
    value->reset();
    EXPECT_EQ(seen, (std::vector<double>{10.0, 2.5}));
}

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

TEST_F(ScalarValueTest, TypedSettersRefuseNullAndText)
{
    const tn::Reference<tnUI::TextValue> text(new tnUI::TextValue);
    const std::function<void(Value*)> setters[] = {
        [](Value* v) { tnUI::setValue(v, true); }, [](Value* v) { tnUI::setValue(v, 5); },
        [](Value* v) { tnUI::setInternalValue(v, 1.0); }, [](Value* v) { tnUI::setDisplayValue(v, 4.0); }};
    for (const auto& set : setters) {
        EXPECT_THROW(set(nullptr), tnUI::NullError);
        EXPECT_THROW(set(text), tnUI::TypeError);
    }
}

} // namespace
