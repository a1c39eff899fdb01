// The unit tables and their reverse look-ups, display numbers in other units
// and clones. Conversions through the magnitudes between any units, clamping
// and change tests in internal units, unit messages and assigns are checked
// against a model by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/LinearValue.h>

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tnUI::AngleUnit;
using tnUI::AngleValue;
using tnUI::LinearUnit;
using tnUI::LinearValue;

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

    // A unit outside its table is refused by the dump before a line is written.
    const tn::Reference<LinearValue> length(new LinearValue(1.0));
    const tn::Reference<AngleValue> angle(new AngleValue(1.0));
    length->setDisplayUnit(static_cast<LinearUnit>(9));
    angle->setInternalUnit(static_cast<AngleUnit>(-3));
    for (const tnUI::RealValue* v :
         {static_cast<tnUI::RealValue*>(length.get()), static_cast<tnUI::RealValue*>(angle.get())}) {
        tnUITest::DumpCapture dump;
        EXPECT_THROW(v->dump(dump.file, 0, nullptr), tnUI::ImplError);
        EXPECT_EQ(dump.lines(), std::vector<std::string>{});
    }
}

TEST_F(UnitValueTest, DisplayNumbersInOtherUnitsAndClonesWithout)
{
    const tn::Reference<LinearValue> value(new LinearValue(2.0));
    EXPECT_EQ(std::tuple(value->getDisplayConversionFactor(), value->getInternalUnit(), value->getDisplayUnit()),
              std::tuple(1.0, LinearUnit::Centimeter, LinearUnit::Centimeter));
    // Internal meters shown as millimeters.
    value->setInternalUnit(LinearUnit::Meter);
    value->setDisplayUnit(LinearUnit::Millimeter);
    value->setDisplayValue(1500);
    EXPECT_EQ(std::tuple(value->evalInternal(), value->evalDisplay()), std::tuple(1.5, 1500.0));
    // Internal millimeters shown as inches.
    value->setInternalUnit(LinearUnit::Millimeter);
    value->setDisplayUnit(LinearUnit::Inch);
    value->setInternalValue(25.4);
    EXPECT_NEAR(value->evalDisplay(), 1.0, 1e-12);

    const tn::Reference<AngleValue> angle(new AngleValue(std::numbers::pi));
    angle->setInternalUnit(AngleUnit::Radian);
    EXPECT_NEAR(angle->evalDisplay(), 180.0, 1e-12);

    // A clone is a plain real value holding the internal number.
    value->setRange(0, 30);
    const tn::Reference<tnUI::Value> copy = value->clone();
    auto* real = dynamic_cast<tnUI::RealValue*>(copy.get());
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(dynamic_cast<LinearValue*>(real), nullptr);
    EXPECT_EQ(std::tuple(real->evalDisplay(), real->getRange()), std::tuple(25.4, tnLinear::Range1d(0, 30)));
}

} // namespace
