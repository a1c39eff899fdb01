#include <tnUI/foundation/Linear.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

using tnLinear::Point2;
using tnLinear::Range1d;
using tnLinear::Range2d;
using tnLinear::Tuple2;

TEST(Range1d, ClampAndUnboundedStates)
{
    // Inverted bounds are the unbounded state: nothing is clamped.
    const double cases[][4] = {{0, 10, -1, 0}, {0, 10, 12.5, 10}, {0, 10, 10, 10}, {0, 10, 10.000001, 10},
                               {2, 2, 7, 2},   {-5, -1, 0, -1},   {5, 1, 7, 7},    {5, 1, -3, -3}};
    for (const auto& [min, max, v, expected] : cases) {
        Range1d r;
        r.set(min, max);
        EXPECT_EQ(std::tuple(r.clamp(v), r.contains(v)), std::tuple(expected, v == expected))
            << min << " " << max << " " << v;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(Range1d(0.0, 1.0).clamp(nan)) && !Range1d(0.0, 1.0).contains(nan));

    Range1d r;
    EXPECT_TRUE(r.isUnbounded() && r.size() == std::numeric_limits<double>::infinity());
    r.set(5.0, 1.0); // kept in this order
    EXPECT_TRUE(r.getMin() == 5.0 && r.isUnbounded());
    r.set(1.0, 5.0);
    EXPECT_EQ(r.size(), 4.0);
    r.setUnbounded();
    EXPECT_EQ(r, Range1d());
}

TEST(Range2d, EmptySetExtendCornersAndEdges)
{
    Range2d r;
    EXPECT_TRUE(r.isEmpty() && !r.contains(Point2(0, 0)));
    r.set(Point2(3, 4));
    EXPECT_TRUE(r.contains(Point2(3, 4)) && !r.contains(Point2(3, 4.5)));
    r.extend(Point2(1, 10));
    r.extend(Point2(2, 5)); // already inside: no change
    EXPECT_EQ(std::tuple(r.getMin(), r.getMax(), r.size()), std::tuple(Point2(1, 4), Point2(3, 10), Tuple2(2, 6)));
    r.setEmpty();
    r.extend(Point2(-2, 7));
    EXPECT_EQ(r.getMin(), r.getMax());

    const Range2d corners(Point2(40, 20), Point2(10, 60));
    EXPECT_EQ(corners, Range2d(Point2(10, 20), Point2(40, 60)));
    const std::pair<Point2, bool> cases[] = {{{10, 20}, true},       {{40, 60}, true},      {{40, 20}, true},
                                             {{40.0001, 60}, false}, {{9.9999, 20}, false}, {{10, 60.0001}, false}};
    for (const auto& [p, inside] : cases)
        EXPECT_EQ(corners.contains(p), inside) << p.x << ", " << p.y;
}

} // namespace
