#include <tnUI/entity/Rectangle.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using tnLinear::Point2;
using tnLinear::Tuple2;
using tnUI::Rectangle;

TEST(Rectangle, ContainsAllEdgesExactlyAndIsEmptyWhenBothSidesNearZero)
{
    const Rectangle r(Point2(10, 20), Tuple2(30, 40));
    const std::pair<Point2, bool> points[] = {{{10, 20}, true},       {{40, 60}, true},      {{10, 60}, true},
                                              {{40.0001, 60}, false}, {{9.9999, 30}, false}, {{25, 60.0001}, false}};
    for (const auto& [p, inside] : points)
        EXPECT_EQ(r.contains(p), inside) << p.x << ", " << p.y;

    const double eps = tnLinear::epsilonTol;
    const std::pair<Tuple2, bool> sizes[] = {{{0, 0}, true},    {{0, 5}, false},
                                             {{5, 0}, false},   {{eps / 2, -eps / 2}, true},
                                             {{eps, 0}, false}, {{-1, -1}, false}};
    for (const auto& [size, empty] : sizes)
        EXPECT_EQ(Rectangle(Point2(3, 4), size).isEmpty(), empty) << size.x << ", " << size.y;
}

TEST(Rectangle, NormalizePoint)
{
    struct Case {
        Point2 origin;
        Point2 p;
        bool unitRange;
        Point2 expected;
    };
    const Case cases[] = {
        {{0, 0}, {50, 25}, true, {0.5, 0.5}},
        {{0, 0}, {50, 25}, false, {0, 0}},
        {{0, 0}, {100, 50}, true, {1, 1}},
        {{0, 0}, {0, 0}, false, {-1, -1}},
        {{0, 0}, {0, 0}, true, {0, 0}},
        {{0, 0}, {25, 0}, true, {0.25, 0}},
        {{0, 0}, {200, -50}, true, {2, -1}},
        // The origin is not subtracted.
        {{1000, 500}, {50, 25}, true, {0.5, 0.5}},
    };
    for (const Case& c : cases) {
        const Rectangle r(c.origin, Tuple2(101, 51));
        Point2 p = c.p;
        r.normalizePoint(p, c.unitRange);
        EXPECT_EQ(p, c.expected) << c.p.x << ", " << c.p.y << " " << c.unitRange;
    }
    // A one-pixel rectangle divides by zero.
    Point2 p(3, 0);
    Rectangle(Point2(0, 0), Tuple2(1, 1)).normalizePoint(p, true);
    EXPECT_TRUE(std::isinf(p.x) && std::isnan(p.y));
}

} // namespace
