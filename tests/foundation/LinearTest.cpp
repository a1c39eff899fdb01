#include <tnUI/foundation/Linear.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using tnLinear::Point2;
using tnLinear::Range1d;
using tnLinear::Range2d;
using tnLinear::Tuple2;
using tnLinear::Tuple3;
using tnLinear::Tuple4;

TEST(Tuple, Arithmetic)
{
    const Tuple2 a(1.0, 2.0);
    const Tuple2 b(3.0, 5.0);
    EXPECT_EQ(a + b, Tuple2(4.0, 7.0));
    EXPECT_EQ(b - a, Tuple2(2.0, 3.0));
    EXPECT_EQ(-a, Tuple2(-1.0, -2.0));
    EXPECT_EQ(a * 3.0, Tuple2(3.0, 6.0));
    EXPECT_EQ(3.0 * a, Tuple2(3.0, 6.0));
    EXPECT_EQ(b / 2.0, Tuple2(1.5, 2.5));
    Tuple2 c = a;
    c += b;
    c -= Tuple2(1.0, 1.0);
    c *= 2.0;
    EXPECT_EQ(c, Tuple2(6.0, 12.0));

    EXPECT_EQ(Tuple3(1, 2, 3) + Tuple3(1, 1, 1) * 2.0, Tuple3(3, 4, 5));
    EXPECT_EQ(Tuple3(1, 2, 3) - Tuple3(3, 2, 1), Tuple3(-2, 0, 2));
    EXPECT_EQ(Tuple4(1, 2, 3, 4) * 0.5, Tuple4(0.5, 1, 1.5, 2));
    EXPECT_EQ(Tuple4(1, 2, 3, 4) - Tuple4(1, 2, 3, 4), Tuple4::zero);
}

TEST(Tuple, EqualityIsExact)
{
    EXPECT_EQ(Point2::origin, Tuple2(0.0, 0.0));
    EXPECT_EQ(Tuple2::zero, Tuple2());
    EXPECT_EQ(Tuple3::origin, Tuple3());
    EXPECT_NE(Tuple2(0.1 + 0.2, 0.0), Tuple2(0.3, 0.0));
    EXPECT_NE(Tuple2(1.0, 2.0), Tuple2(2.0, 1.0));
    EXPECT_NE(Tuple3(1, 2, 3), Tuple3(1, 2, 4));
    EXPECT_NE(Tuple4(1, 2, 3, 4), Tuple4(1, 2, 3, 5));
}

TEST(Tuple, Distance)
{
    EXPECT_DOUBLE_EQ(tnLinear::distance(Point2(0, 0), Point2(3, 4)), 5.0);
    EXPECT_DOUBLE_EQ(tnLinear::distance(Point2(3, 4), Point2(0, 0)), 5.0);
    EXPECT_DOUBLE_EQ(tnLinear::distance(Point2(-1, -1), Point2(-1, -1)), 0.0);
    EXPECT_DOUBLE_EQ(tnLinear::distance(tnLinear::Point(1, 2, 3), tnLinear::Point(2, 4, 5)), 3.0);
}

TEST(Tolerance, SeparatesRoundingFromRealDifferences)
{
    // Rounding after a few operations stays inside the tolerance...
    EXPECT_LT(std::fabs(180.0 / std::numbers::pi - 57.29577951308232), tnLinear::epsilonTol);
    EXPECT_LT(std::fabs((0.1 + 0.2) - 0.3), tnLinear::epsilonTol);
    EXPECT_LT(std::fabs(2.54 * 10.0 - 25.4), tnLinear::epsilonTol);
    // ...while numbers a user can type apart stay apart.
    EXPECT_GT(0.000001, tnLinear::epsilonTol);
    EXPECT_GT(tnLinear::epsilonTol, 0.0);
}

TEST(Range1d, DefaultIsUnbounded)
{
    const Range1d r;
    EXPECT_TRUE(r.isUnbounded());
    EXPECT_LT(r.getMax(), r.getMin());
    EXPECT_EQ(r.clamp(1e300), 1e300);
    EXPECT_EQ(r.clamp(-std::numeric_limits<double>::infinity()), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(r.contains(-1e300));
    EXPECT_EQ(r.size(), std::numeric_limits<double>::infinity());
}

struct ClampCase {
    double min, max, v, expected;
};

class Range1dClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(Range1dClamp, Clamps)
{
    const ClampCase& c = GetParam();
    Range1d r;
    r.set(c.min, c.max);
    EXPECT_EQ(r.clamp(c.v), c.expected);
    EXPECT_EQ(r.contains(c.v), c.v == c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Range1dClamp,
                         ::testing::Values(ClampCase{0, 10, -1, 0}, ClampCase{0, 10, 12.5, 10}, ClampCase{0, 10, 5, 5},
                                           ClampCase{0, 10, 0, 0}, ClampCase{0, 10, 10, 10},
                                           ClampCase{0, 10, 10.000001, 10}, ClampCase{2, 2, 7, 2},
                                           ClampCase{2, 2, 2, 2}, ClampCase{-5, -1, 0, -1},
                                           // Inverted bounds are the unbounded state: nothing is clamped.
                                           ClampCase{5, 1, 7, 7}, ClampCase{5, 1, -3, -3}, ClampCase{5, 1, 3, 3}));

TEST(Range1d, SetKeepsOrderAndSetUnboundedUndoesIt)
{
    Range1d r;
    r.set(5.0, 1.0);
    EXPECT_EQ(r.getMin(), 5.0);
    EXPECT_EQ(r.getMax(), 1.0);
    EXPECT_TRUE(r.isUnbounded());

    r.set(1.0, 5.0);
    EXPECT_FALSE(r.isUnbounded());
    EXPECT_EQ(r.size(), 4.0);
    r.setUnbounded();
    EXPECT_TRUE(r.isUnbounded());
    EXPECT_EQ(r.clamp(100.0), 100.0);
    EXPECT_EQ(r, Range1d());
}

TEST(Range1d, NaNPassesUnchanged)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Range1d r(0.0, 1.0);
    EXPECT_TRUE(std::isnan(r.clamp(nan)));
    EXPECT_FALSE(r.contains(nan));
}

TEST(Range2d, DefaultIsEmpty)
{
    const Range2d r;
    EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(r.size(), Tuple2::zero);
    EXPECT_FALSE(r.contains(Point2(0, 0)));
}

TEST(Range2d, SetToPointThenExtend)
{
    Range2d r;
    r.set(Point2(3, 4));
    EXPECT_FALSE(r.isEmpty());
    EXPECT_EQ(r.size(), Tuple2(0, 0));
    EXPECT_TRUE(r.contains(Point2(3, 4)));
    EXPECT_FALSE(r.contains(Point2(3, 4.5)));

    r.extend(Point2(1, 10));
    r.extend(Point2(2, 5)); // already inside: no change
    EXPECT_EQ(r.getMin(), Point2(1, 4));
    EXPECT_EQ(r.getMax(), Point2(3, 10));
    EXPECT_EQ(r.size(), Tuple2(2, 6));

    r.set(Point2(0, 0));
    EXPECT_EQ(r.getMax(), Point2(0, 0));
    r.setEmpty();
    EXPECT_TRUE(r.isEmpty());
    r.extend(Point2(-2, 7));
    EXPECT_EQ(r.getMin(), Point2(-2, 7));
    EXPECT_EQ(r.getMax(), Point2(-2, 7));
}

TEST(Range2d, CornersInAnyOrder)
{
    EXPECT_EQ(Range2d(Point2(5, 1), Point2(2, 8)), Range2d(Point2(2, 8), Point2(5, 1)));
    const Range2d r(Point2(5, 1), Point2(2, 8));
    EXPECT_EQ(r.getMin(), Point2(2, 1));
    EXPECT_EQ(r.getMax(), Point2(5, 8));
}

TEST(Range2d, ContainsEdgesExactly)
{
    const Range2d r(Point2(10, 20), Point2(40, 60));
    struct Case {
        Point2 p;
        bool inside;
    };
    const Case cases[] = {{{10, 20}, true},      {{40, 60}, true},       {{40, 20}, true},
                          {{10, 60}, true},      {{25, 40}, true},       {{40.0001, 60}, false},
                          {{9.9999, 20}, false}, {{10, 19.9999}, false}, {{10, 60.0001}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.p), c.inside) << c.p.x << ", " << c.p.y;
}

} // namespace
