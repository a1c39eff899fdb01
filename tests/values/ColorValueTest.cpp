// Colour values (clamping, bytes, clone, scale names); colour-space
// conversions checked against Qt's QColor HSL conversion on a grid of colours,
// the remembered hue of greys, and the colour wheel's warp.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/values/ColorValue.h>

#include <QColor>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using tnUI::ColorValue;

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();

class ColorValueTest : public tnUITest::EntityTest {};

TEST_F(ColorValueTest, ChannelsClampToTheScaleAndReadAsBytesOrFractions)
{
    struct Case {
        tn::Reference<ColorValue> colour;
        std::array<int, 4> bytes;
        std::array<double, 4> fractions;
    };
    const Case cases[] = {
        {ColorValue::FromRgba(300, 128, -5, 255), {255, 128, 0, 255}, {1.0, 128 / 255.0, 0.0, 1.0}},
        // Truncated toward zero: 0.5 of 255 is 127.
        {ColorValue::FromRgba(0.5, 1.5, -0.5, 0.999), {127, 255, 0, 254}, {0.5, 1.0, 0.0, 0.999}},
    };
    for (const Case& c : cases) {
        int bytes[4];
        double fractions[4];
        c.colour->evalBytes(bytes);
        c.colour->evalBytes(fractions);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(bytes[i], c.bytes[i]) << i;
            EXPECT_NEAR(fractions[i], c.fractions[i], 1e-15) << i;
        }
    }
    EXPECT_EQ(cases[0].colour->getValue(0)->getRange(), tnLinear::Range1d(0, 255));

    const tn::Reference<ColorValue> partial = ColorValue::create(ColorValue::Max1);
    partial->getValue(0)->setInternalValue(1);
    int bytes[4];
    EXPECT_THROW(partial->evalBytes(bytes), tnUI::NotSetError);

    EXPECT_EQ(std::string(tnUI::enumName(ColorValue::Max1)) + tnUI::enumName(ColorValue::Max255), "Max1Max255");
    EXPECT_THROW(tnUI::enumName(ColorValue::Type(2)), tnUI::ImplError);
    EXPECT_THROW(ColorValue(ColorValue::Type(-1)), tnUI::ImplError);
}

TEST_F(ColorValueTest, CloneIsAnIndependentUnnamedColourOfTheSameScale)
{
    const tn::Reference<ColorValue> original = ColorValue::FromRgba(0.1, 0.2, 0.3, 0.4);
    original->setName(tnString::CString("ink"));
    original->setEditble(false);
    tnUITest::MessageRecorder originalRecorder(original);

    const tn::Reference<tnUI::Value> copy = original->clone();
    auto* clone = dynamic_cast<ColorValue*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(
        std::tuple(clone->getType(), clone->evalInternal(), clone->getValue(3)->getRange(), clone->getName(),
                   clone->getEditable()),
        std::tuple(ColorValue::Max1, tnLinear::Tuple4(0.1, 0.2, 0.3, 0.4), tnLinear::Range1d(0, 1), nullptr, true));
    EXPECT_NE(clone->getValue(0), original->getValue(0));
    // The clone's components report to the clone only.
    tnUITest::MessageRecorder cloneRecorder(clone);
    clone->getValue(2)->setInternalValue(2.0);
    EXPECT_EQ(std::tuple(cloneRecorder.chains.size(), clone->getValue(2)->evalInternal()), std::tuple(1U, 1.0));
    EXPECT_EQ(std::tuple(originalRecorder.chains.size(), original->getValue(2)->evalInternal()), std::tuple(0U, 0.3));
}

using F3 = std::array<float, 3>;

struct Rgb {
    int r, g, b;
};

// Every combination of a few levels per channel (primaries, secondaries,
// greys, black and white among them) and colours whose hue lies just either
// side of the wrap at 0/360 degrees.
std::vector<Rgb> colourGrid()
{
    const std::array<int, 7> levels{0, 1, 64, 128, 191, 254, 255};
    std::vector<Rgb> grid;
    for (int r : levels)
        for (int g : levels)
            for (int b : levels)
                grid.push_back({r, g, b});
    for (const Rgb& c : {Rgb{255, 0, 1}, Rgb{255, 1, 0}, Rgb{200, 10, 11}, Rgb{200, 11, 10}, Rgb{255, 0, 255}})
        grid.push_back(c);
    return grid;
}

TEST(ColorConversionTest, AgreesWithQtOnAGridAndRoundTrips)
{
    double hueDiff = 0, slDiff = 0, rgbDiff = 0, roundTripDiff = 0;
    for (const Rgb& c : colourGrid()) {
        SCOPED_TRACE(testing::Message() << c.r << "," << c.g << "," << c.b);
        float h, s, l;
        tnUI::getHSLFromRGB(c.r, c.g, c.b, h, s, l);
        float qh, qs, ql;
        QColor::fromRgb(c.r, c.g, c.b).getHslF(&qh, &qs, &ql);
        const bool grey = c.r == c.g && c.g == c.b;
        EXPECT_EQ(qh < 0, grey);
        if (!grey) {
            ASSERT_TRUE(h >= 0 && h < 360);
            const double d = std::fabs(h - qh * 360.0);
            hueDiff = std::max(hueDiff, std::min(d, 360.0 - d));
        }
        slDiff = std::max(slDiff, std::fabs(l - ql * 100.0));
        // Next to white the saturation divides by almost nothing, and Qt's
        // 16-bit channels give it up: (255, 254, 254) is 100 % here, 0 % there.
        if (l < 99)
            slDiff = std::max(slDiff, std::fabs(s - qs * 100.0));

        float r, g, b;
        tnUI::getRGBFromHSL(h, s, l, r, g, b);
        float qr, qg, qb;
        QColor::fromHslF(grey ? 0.0f : h / 360.0f, s / 100.0f, l / 100.0f).getRgbF(&qr, &qg, &qb);
        rgbDiff = std::max({rgbDiff, std::fabs(r - qr * 255.0), std::fabs(g - qg * 255.0), std::fabs(b - qb * 255.0)});
        roundTripDiff =
            std::max({roundTripDiff, std::fabs(r - c.r) + 0.0, std::fabs(g - c.g) + 0.0, std::fabs(b - c.b) + 0.0});
    }
    std::cout << "largest difference from Qt: hue " << hueDiff << " deg, saturation/lightness " << slDiff << " %, RGB "
              << rgbDiff << "; round trip " << roundTripDiff << "\n";
    // Qt keeps its channels as 16-bit integers and its hue in hundredths of a
    // degree, which moves a channel by up to 255 * 6 * 0.005 / 360 = 0.02.
    EXPECT_LT(hueDiff, 0.01);
    EXPECT_LT(slDiff, 0.002);
    EXPECT_LT(rgbDiff, 0.03);
    EXPECT_LT(roundTripDiff, 0.001);
}

TEST(ColorConversionTest, GreysKeepTheLastHueAndHslEdges)
{
    float h, s, l;
    tnUI::getHSLFromRGB(255, 0, 0, h, s, l);
    EXPECT_EQ((F3{h, s, l}), (F3{0.0f, 100.0f, 50.0f}));
    tnUI::getHSLFromRGB(0, 0, 255, h, s, l);
    EXPECT_FLOAT_EQ(h, 240.0f);
    tnUI::getHSLFromRGB(128, 128, 128, h, s, l);
    EXPECT_EQ(h, 240.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_NEAR(l, 50.196, 1e-3);
    // A channel that is no number makes no hue to remember.
    tnUI::getHSLFromRGB(std::nanf(""), 0, 0, h, s, l);
    tnUI::getHSLFromRGB(9, 9, 9, h, s, l);
    EXPECT_EQ(h, 240.0f);

    float r, g, b;
    tnUI::getRGBFromHSL(120, 100, 50, r, g, b);
    EXPECT_EQ((F3{r, g, b}), (F3{0.0f, 255.0f, 0.0f}));
    tnUI::getRGBFromHSL(77, 0, 50, r, g, b);
    EXPECT_EQ((F3{r, g, b}), (F3{127.5f, 127.5f, 127.5f}));
    // Hues outside one turn are wrapped; one just below a whole turn stays red.
    for (const auto& [hue, same] : {std::array{360.0f, 0.0f}, {-120.0f, 240.0f}}) {
        float r2, g2, b2;
        tnUI::getRGBFromHSL(hue, 80, 40, r, g, b);
        tnUI::getRGBFromHSL(same, 80, 40, r2, g2, b2);
        EXPECT_EQ((F3{r, g, b}), (F3{r2, g2, b2})) << hue;
    }
    tnUI::getRGBFromHSL(std::nextafter(360.0f, 0.0f), 100, 50, r, g, b);
    EXPECT_NEAR(r, 255.0f, 1e-3);
    EXPECT_NEAR(b, 0.0f, 1e-2);
    tnUI::getRGBFromHSL(std::nanf(""), 50, 50, r, g, b);
    EXPECT_TRUE(std::isnan(r) && std::isnan(g) && std::isnan(b));
}

TEST(ColorWheelTest, TablePointsTurnsAndInverse)
{
    const std::array<double, 13> hues{0, 23, 34, 47, 60, 78, 117, 191, 208, 235, 277, 323, 360};
    for (int k = 0; k < 13; ++k) {
        EXPECT_NEAR(tnUI::getHueFromAngle(k * kPi / 6), hues[k], 1e-9) << k;
        EXPECT_NEAR(tnUI::getAngleFromHue(hues[k]), k * kPi / 6, 1e-12) << k;
    }
    struct Case {
        double angle, hue;
    };
    for (const Case& c : {Case{kPi / 12, 11.5}, Case{-kPi / 6, 323 - 360.0}, Case{2 * kPi + kPi, 117 + 360.0},
                          Case{-4 * kPi - kPi / 2, 235 - 1080.0}}) {
        EXPECT_NEAR(tnUI::getHueFromAngle(c.angle), c.hue, 1e-9) << c.angle;
        EXPECT_NEAR(tnUI::getAngleFromHue(c.hue), c.angle, 1e-12) << c.hue;
    }
    EXPECT_NEAR(tnUI::getAngleFromHue(400), tnUI::getAngleFromHue(40) + 2 * kPi, 1e-12);
    for (double hue = -400; hue < 800; hue += 7.25)
        EXPECT_NEAR(tnUI::getHueFromAngle(tnUI::getAngleFromHue(hue)), hue, 1e-9) << hue;
    // Far-off and non-finite input returns (no endless turn walk).
    for (const double x : {1e300, -1e300, kInf, -kInf, std::nan("")}) {
        const bool finite = std::isfinite(x);
        EXPECT_EQ(std::isfinite(tnUI::getHueFromAngle(x)), finite) << x;
        EXPECT_EQ(std::isfinite(tnUI::getAngleFromHue(x)), finite) << x;
    }
}

} // namespace
