// The unit tables and their reverse look-ups, conversions between every pair
// of units, and the display unit as a change of the shown number.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/LinearValue.h>

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <tuple>

namespace {

using tnUI::AngleUnit;
using tnUI::AngleValue;
using tnUI::LinearUnit;
using tnUI::LinearValue;
using tnUITest::MessageRecorder;

class UnitValueTest : public tnUITest::EntityTest {};

constexpr double eps = tnLinear::epsilonTol;

TEST_F(UnitValueTest, TablesTextsAndReverseLookUps)
{
    struct Row {
        LinearUnit unit;
        const char* longName;
        const char* shortName;
        double magnitude;
    };
    const Row linear[] = {{LinearUnit::Millimeter, "millimeter", "mm", 0.001},
                          {LinearUnit::Centimeter, "centimeter", "cm", 0.01},
                          {LinearUnit::Meter, "meter", "m", 1.0},
                          {LinearUnit::Inch, "inch", "in", 0.0254}};
    for (const Row& r : linear) {
        EXPECT_EQ(std::string(enumName(r.unit, false)) + enumName(r.unit, true), std::string(r.longName) + r.shortName);
        EXPECT_EQ(tnUI::linearUnitMagnitude(r.unit), r.magnitude);
        // Just inside the tolerance on either side, and just outside it.
        EXPECT_EQ(tnUI::linearUnitFromMagnitude(r.magnitude + 0.9 * eps), r.unit);
        EXPECT_EQ(tnUI::linearUnitFromMagnitude(r.magnitude - 0.9 * eps), r.unit);
        EXPECT_THROW(tnUI::linearUnitFromMagnitude(r.magnitude + 1.1 * eps), tnUI::ImplError);
    }
    EXPECT_THROW(tnUI::linearUnitFromMagnitude(0.5), tnUI::ImplError);
    for (const auto outside : {static_cast<LinearUnit>(4), static_cast<LinearUnit>(-1)}) {
        EXPECT_THROW(enumName(outside, true), tnUI::ImplError);
        EXPECT_EQ(tnUI::linearUnitMagnitude(outside), 0.01);
    }

    const double radian = 180.0 / std::numbers::pi;
    EXPECT_EQ(std::string(enumName(AngleUnit::Radian, false)) + enumName(AngleUnit::Radian, true) +
                  enumName(AngleUnit::Degree, false) + enumName(AngleUnit::Degree, true),
              "radianraddegreedeg");
    EXPECT_THROW(enumName(static_cast<AngleUnit>(2), false), tnUI::ImplError);
    EXPECT_EQ(std::tuple(tnUI::angleUnitMagnitude(AngleUnit::Radian), tnUI::angleUnitMagnitude(AngleUnit::Degree),
                         tnUI::angleUnitMagnitude(static_cast<AngleUnit>(7))),
              std::tuple(57.29577951308232, 1.0, 1.0));
    EXPECT_NEAR(tnUI::angleUnitMagnitude(AngleUnit::Radian), radian, 1e-12);
    // Only the radian's magnitude reads back as radian; everything else is a degree.
    for (const auto& [m, unit] :
         {std::pair(radian + 0.9 * eps, AngleUnit::Radian), std::pair(radian - 1.1 * eps, AngleUnit::Degree),
          std::pair(0.5, AngleUnit::Degree), std::pair(1.0, AngleUnit::Degree)})
        EXPECT_EQ(tnUI::angleUnitFromMagnitude(m), unit) << m;
}

TEST_F(UnitValueTest, ConversionsGoThroughTheMagnitudes)
{
    const LinearUnit units[] = {LinearUnit::Millimeter, LinearUnit::Centimeter, LinearUnit::Meter, LinearUnit::Inch};
    const double meters[] = {0.001, 0.01, 1.0, 0.0254};
    for (int in = 0; in < 4; ++in) {
        for (int out = 0; out < 4; ++out) {
            const tn::Reference<LinearValue> value(new LinearValue);
            value->setInternalUnit(units[in]);
            value->setDisplayUnit(units[out]);
            value->setDisplayValue(3.0);
            // 3 display units are 3 * meters[out] meters.
            EXPECT_NEAR(value->evalInternal() * meters[in], 3.0 * meters[out], 1e-12) << in << out;
            EXPECT_NEAR(value->evalDisplay(), 3.0, 1e-12);
        }
    }
    const tn::Reference<LinearValue> fresh(new LinearValue(2.0));
    EXPECT_EQ(std::tuple(fresh->getDisplayConversionFactor(), fresh->getInternalUnit(), fresh->getDisplayUnit()),
              std::tuple(1.0, LinearUnit::Centimeter, LinearUnit::Centimeter));

    const tn::Reference<LinearValue> mm(new LinearValue(25.4));
    mm->setInternalUnit(LinearUnit::Millimeter);
    mm->setDisplayUnit(LinearUnit::Inch);
    EXPECT_NEAR(mm->evalDisplay(), 1.0, 1e-12);

    const tn::Reference<AngleValue> angle(new AngleValue(std::numbers::pi));
    EXPECT_EQ(angle->getDisplayConversionFactor(), 1.0);
    angle->setInternalUnit(AngleUnit::Radian);
    EXPECT_NEAR(angle->evalDisplay(), 180.0, 1e-12);
    angle->setInternalUnit(AngleUnit::Degree);
    angle->setDisplayUnit(AngleUnit::Radian);
    angle->setDisplayValue(std::numbers::pi / 2);
    EXPECT_NEAR(angle->evalInternal(), 90.0, 1e-12);
}

TEST_F(UnitValueTest, RangeAndChangeTestStayInInternalUnits)
{
    const tn::Reference<LinearValue> value(new LinearValue);
    value->setRange(0, 10);
    value->setDisplayUnit(LinearUnit::Millimeter);
    MessageRecorder recorder(value);
    EXPECT_TRUE(value->setDisplayValue(150));
    EXPECT_EQ(std::tuple(value->evalInternal(), value->evalDisplay()), std::tuple(10.0, 100.0));
    // Clamps to the 10 cm already held.
    EXPECT_FALSE(value->setDisplayValue(120));
    ASSERT_EQ(recorder.chains.size(), 1U);

    // The display unit announces itself once; the internal unit is silent and
    // converts nothing.
    value->setDisplayUnit(LinearUnit::Inch);
    value->setDisplayUnit(LinearUnit::Inch);
    value->setInternalUnit(LinearUnit::Meter);
    EXPECT_EQ(recorder.chains.size(), 2U);
    EXPECT_EQ(recorder.chains.back(), (tnUITest::Chain{{value.get(), tnUI::Message::Value}}));
    EXPECT_EQ(value->evalInternal(), 10.0);

    const tn::Reference<AngleValue> angle(new AngleValue(1.0));
    MessageRecorder angleRecorder(angle);
    angle->setDisplayUnit(AngleUnit::Radian);
    angle->setDisplayUnit(AngleUnit::Radian);
    EXPECT_EQ(std::tuple(angleRecorder.chains.size(), angle->evalInternal()), std::tuple(1U, 1.0));
}

TEST_F(UnitValueTest, ClonesAndAssignsCarryNumbersNotUnits)
{
    const tn::Reference<LinearValue> source(new LinearValue(4.0));
    source->setInternalUnit(LinearUnit::Meter);
    source->setDisplayUnit(LinearUnit::Millimeter);
    source->setRange(0, 5);

    const tn::Reference<tnUI::Value> copy = source->clone();
    EXPECT_EQ(dynamic_cast<LinearValue*>(copy.get()), nullptr);
    EXPECT_EQ(dynamic_cast<tnUI::RealValue*>(copy.get())->evalDisplay(), 4.0);

    const tn::Reference<LinearValue> target(new LinearValue);
    MessageRecorder recorder(target);
    EXPECT_TRUE(target->assign(source));
    EXPECT_EQ(std::tuple(target->evalInternal(), target->getRange(), target->getInternalUnit(),
                         target->getDisplayUnit(), recorder.chains.size()),
              std::tuple(4.0, tnLinear::Range1d(0, 5), LinearUnit::Centimeter, LinearUnit::Centimeter, 0U));
}

} // namespace
