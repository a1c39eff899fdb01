#include <tnUI/markingmenus/MarkFont.h>
#include <tnUI/markingmenus/MarkPosition.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

TEST(MarkPosition, AnglesRunCounterClockwiseAndFoldTheLowerHalf)
{
    for (int p = 0; p < 16; ++p) {
        const double expected = p <= 7 ? p * pi / 8.0 : p * pi / 8.0 - 2.0 * pi;
        EXPECT_NEAR(tnMarkPosition::markPositionToAngle(p), expected, 1e-6) << p;
    }
    // The overflow list lies South; the other values have no direction.
    EXPECT_EQ(tnMarkPosition::markPositionToAngle(17), tnMarkPosition::markPositionToAngle(12));
    for (int p : {16, 18, -1, 19})
        EXPECT_EQ(tnMarkPosition::markPositionToAngle(p), 0.0f) << p;
}

TEST(MarkPosition, AxisDirectionsCarrySinglePrecisionError)
{
    EXPECT_EQ(tnMarkPosition(tnMarkPosition::East, 30.0f).getX(), 30.0f);
    EXPECT_EQ(tnMarkPosition(tnMarkPosition::East, 30.0f).getY(), 0.0f);
    // North and South lean a hair West, West a hair South.
    for (int p : {tnMarkPosition::North, tnMarkPosition::South})
        EXPECT_NEAR(tnMarkPosition(p, 1000.0f).getX(), -4.4e-5, 0.2e-5) << p;
    EXPECT_FLOAT_EQ(tnMarkPosition(tnMarkPosition::South, 1000.0f).getY(), -1000.0f);
    EXPECT_NEAR(tnMarkPosition(tnMarkPosition::West, 1000.0f).getY(), -1.5e-4, 0.2e-4);
}

TEST(MarkPosition, PointsPolarFormAndFlags)
{
    const tnMarkPosition ne(tnMarkPosition::Northeast, 30.0f);
    float angle = 0.0f;
    float distance = 0.0f;
    ne.getPolar(angle, distance);
    EXPECT_NEAR(angle, pi / 4.0, 1e-6);
    EXPECT_NEAR(distance, 30.0, 1e-5);

    for (int p = 0; p <= 18; ++p)
        EXPECT_EQ(tnMarkPosition(p, 30.0f).isOffAxis(), p % 4 != 0 || p > 15) << p;

    EXPECT_FALSE(tnMarkPosition().isSet());
    EXPECT_FALSE(tnMarkPosition(0.0f, 0.0f).isSet());
    EXPECT_TRUE(tnMarkPosition(0.0f, 0.5f).isSet());
    EXPECT_TRUE(tnMarkPosition(tnMarkPosition::East, 0.0f).isSet());
    EXPECT_FALSE(tnMarkPosition(tnMarkPosition::East, 30.0f) == tnMarkPosition(30.0f, 0.0f));
}

TEST(MarkPosition, MovingTheAnchor)
{
    tnMarkPosition p(tnMarkPosition::Overflow, 50.0f);
    p.setPoint(-20.0f, -50.0f);
    EXPECT_EQ(p.getMarkPosition(), tnMarkPosition::Overflow);
    EXPECT_EQ(p.getX(), -20.0f);
    p.setMarkPosition(tnMarkPosition::West, 10.0f);
    EXPECT_EQ(p, tnMarkPosition(tnMarkPosition::West, 10.0f));
    for (int ignored : {16, 17, 18, -1})
        p.setMarkPosition(ignored, 99.0f);
    EXPECT_EQ(p, tnMarkPosition(tnMarkPosition::West, 10.0f));
}

TEST(MarkFont, StyleStaysInRange)
{
    tnMarkFont font("Sans", 3, 10);
    font.setStyle(5);
    font.setStyle(-1);
    EXPECT_EQ(font, tnMarkFont("Sans", 3, 10));
    EXPECT_EQ(tnMarkFont("Sans", 9).getStyle(), 0);
}

} // namespace
