// Real, integer and flag values: the change test and clamping, unset reads,
// defaults and reset, the editable flag, assign and clone, and the typed
// setters.

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

using tnLinear::epsilonTol;
using tnUI::BoolValue;
using tnUI::IntValue;
using tnUI::Message;
using tnUI::RealValue;
using tnUI::Value;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class ScalarValueTest : public tnUITest::EntityTest {};

// Shown in half internal units: a display number is twice the internal one.
class HalfUnitValue : public RealValue {
public:
    double getDisplayConversionFactor() const override { return 2.0; }
};

TEST_F(ScalarValueTest, RealStoreClampsAndAnnouncesOnlyChanges)
{
    // Each row: the number held first (NaN: unset), the range (inverted:
    // none), the number stored, whether it changed and the result.
    const double unset = std::nan("");
    struct Case {
        const char* what;
        double held, min, max, stored;
        bool changed;
        double expected;
    };
    const Case cases[] = {
        {"first store", unset, 1, 0, 3.0, true, 3.0},
        {"same number", 3.0, 1, 0, 3.0, false, 3.0},
        {"no tolerance in the change test", 3.0, 1, 0, 3.0 + epsilonTol / 4, true, 3.0 + epsilonTol / 4},
        {"above the range", unset, 0, 10, 12.5, true, 10.0},
        {"below the range", 5.0, 0, 10, -1.0, true, 0.0},
        {"clamped to the number held", 12.5, 0, 10, 11.0, false, 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const tn::Reference<RealValue> value(new RealValue);
        if (!std::isnan(c.held))
            value->setInternalValueSilent(c.held);
        value->setRange(c.min, c.max);
        MessageRecorder recorder(value);
        EXPECT_EQ(value->setInternalValue(c.stored), c.changed);
        EXPECT_EQ(value->evalInternal(), c.expected);
        EXPECT_EQ(recorder.chains, std::vector<Chain>(c.changed ? 1 : 0, Chain{{value.get(), Message::Value}}));
    }

    // NaN passes the clamp unchanged and never equals the number held.
    const tn::Reference<RealValue> value(new RealValue(1.0));
    value->setRange(0, 10);
    EXPECT_TRUE(value->setInternalValue(std::nan("")) && std::isnan(value->evalInternal()));
    EXPECT_TRUE(value->setInternalValue(std::nan("")));
}

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

TEST_F(ScalarValueTest, RangesDefaultsAndReset)
{
    const tn::Reference<RealValue> value(new RealValue(8.0));
    MessageRecorder recorder(value);
    value->setRange(0, 5);
    EXPECT_EQ(value->evalInternal(), 5.0);
    value->setRange(0, 6);
    EXPECT_EQ(recorder.chains.size(), 1u);
    // The default stays 8, and reset clamps it into the range in force.
    value->setInternalValue(1.0);
    value->reset();
    EXPECT_EQ(value->evalInternal(), 6.0);
    value->setRangeUnbounded();
    value->reset();
    EXPECT_EQ(value->evalInternal(), 8.0);

    // The first store, clamped, becomes the default; an unset value takes a
    // range silently.
    const tn::Reference<IntValue> integer(new IntValue);
    MessageRecorder intRecorder(integer);
    integer->setRange(1, 3);
    EXPECT_TRUE(intRecorder.chains.empty());
    for (const auto& [stored, expected] : {std::pair{7, 3}, std::pair{-2, 1}, std::pair{2, 2}}) {
        integer->setValue(stored);
        EXPECT_EQ(integer->getValue(), expected) << stored;
    }
    integer->reset();
    EXPECT_EQ(integer->getValue(), 3);
    EXPECT_FALSE(integer->setValue(9));
    EXPECT_EQ(intRecorder.chains.size(), 4u);
}

TEST_F(ScalarValueTest, FlagAnnouncesOnlyChangesAndUnsetValuesRefuseReads)
{
    const tn::Reference<BoolValue> flag(new BoolValue(true));
    MessageRecorder recorder(flag);
    EXPECT_EQ((std::tuple{flag->setValue(true), flag->setValue(false)}), std::tuple(false, true));
    flag->reset();
    EXPECT_TRUE(flag->getValue());
    flag->reset();
    EXPECT_EQ(recorder.chains, (std::vector<Chain>(2, Chain{{flag.get(), Message::Value}})));

    // The editable flag of any value works the same way.
    flag->setEditble(true);
    flag->setEditble(false);
    flag->setEditble(false);
    EXPECT_FALSE(flag->getEditable());
    EXPECT_EQ(recorder.chains.size(), 3u);

    // Unset values refuse reads and reset.
    const tn::Reference<RealValue> real(new RealValue);
    const tn::Reference<IntValue> integer(new IntValue);
    const tn::Reference<BoolValue> unset(new BoolValue);
    const std::function<void()> reads[] = {
        [&] { real->evalDisplay(); }, [&] { real->evalBool(); },      [&] { real->reset(); },
        [&] { integer->getValue(); }, [&] { integer->evalDouble(); }, [&] { integer->reset(); },
        [&] { unset->evalBool(); },   [&] { unset->evalDouble(); },   [&] { unset->reset(); },
    };
    for (std::size_t i = 0; i < std::size(reads); ++i)
        EXPECT_THROW(reads[i](), tnUI::NotSetError) << i;
    EXPECT_FALSE(real->isSet() || integer->isSet() || unset->isSet());
}

// A flag whose reading is replaced: evaluation follows it.
class InvertedFlag : public BoolValue {
public:
    using BoolValue::BoolValue;
    bool getValue() const override { return !BoolValue::getValue(); }
};

TEST_F(ScalarValueTest, TruthAndNumberOfEachKind)
{
    struct Case {
        const char* what;
        tn::Reference<tnUI::NumericValue> value;
        bool truth;
        double number;
    };
    const Case cases[] = {
        {"real below epsilon", new RealValue(-epsilonTol / 2), false, -epsilonTol / 2},
        {"real at epsilon", new RealValue(epsilonTol), true, epsilonTol},
        {"int zero", new IntValue(0), false, 0.0},
        {"int negative", new IntValue(-3), true, -3.0},
        {"flag", new BoolValue(true), true, 1.0},
        {"replaced flag reading", new InvertedFlag(true), false, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::tuple(c.value->evalBool(), c.value->evalDouble()), std::tuple(c.truth, c.number)) << c.what;
    EXPECT_TRUE(tn::Reference<RealValue>(new RealValue(std::nan("")))->evalBool());
}

TEST_F(ScalarValueTest, AssignCopiesOnlyFromTheSameKind)
{
    const tn::Reference<HalfUnitValue> half(new HalfUnitValue);
    const tn::Reference<RealValue> real(new RealValue(2.5));
    const tn::Reference<IntValue> integer(new IntValue(4));
    const tn::Reference<tnUI::TextValue> text(new tnUI::TextValue);
    integer->setEditble(false);
    MessageRecorder recorder(integer);
    for (const Value* other : std::initializer_list<const Value*>{real, text, nullptr})
        EXPECT_FALSE(integer->assign(other));
    EXPECT_EQ(std::tuple(integer->getValue(), integer->getEditable()), std::tuple(4, false));
    EXPECT_FALSE(real->assign(integer));

    // A derived class counts as the same kind; default and range come along.
    half->setInternalValue(6.0);
    half->setInternalValue(7.0);
    half->setRange(-10, 10);
    EXPECT_TRUE(real->assign(half));
    EXPECT_EQ(std::tuple(real->evalInternal(), real->getRange()), std::tuple(7.0, tnLinear::Range1d(-10, 10)));
    real->reset();
    EXPECT_EQ(real->evalInternal(), 6.0);

    // From an unset value: the target is set all the same, and nothing is sent.
    const tn::Reference<IntValue> unset(new IntValue);
    EXPECT_TRUE(integer->assign(unset) && integer->isSet() && integer->getEditable());
    EXPECT_TRUE(recorder.chains.empty());
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
