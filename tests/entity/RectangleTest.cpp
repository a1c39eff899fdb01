#include <tnUI/entity/Rectangle.h>

#include <gtest/gtest.h>

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

} // namespace
