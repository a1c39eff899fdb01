#include "EntityTestSupport.h"

#include <tnUI/entity/Rectangle.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using tnLinear::Point2;
using tnLinear::Tuple2;
using tnUI::Rectangle;

TEST(Rectangle, DefaultIsZero)
{
    const Rectangle r;
    EXPECT_EQ(r.getOrigin(), Point2::origin);
    EXPECT_EQ(r.getSize(), Tuple2::zero);
    EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(r, Rectangle(Point2(0, 0), Tuple2(0, 0)));
}

TEST(Rectangle, Sides)
{
    const Rectangle r(Point2(1, 2), Tuple2(3, 4));
    EXPECT_EQ(r.x(), 1.0);
    EXPECT_EQ(r.y(), 2.0);
    EXPECT_EQ(r.width(), 3.0);
    EXPECT_EQ(r.height(), 4.0);
    EXPECT_EQ(r.left(), 1.0);
    EXPECT_EQ(r.top(), 2.0);
    EXPECT_EQ(r.right(), 4.0);
    EXPECT_EQ(r.bottom(), 6.0);
    EXPECT_EQ(r.getLowerRight(), Point2(4, 6));
}

TEST(Rectangle, SettersAndEquality)
{
    Rectangle r;
    r.set(Point2(1, 2), Tuple2(3, 4));
    Rectangle s;
    s.set(1, 2, 3, 4);
    EXPECT_EQ(r, s);
    EXPECT_FALSE(r != s);

    s.move(Point2(5, 6));
    EXPECT_NE(r, s);
    EXPECT_EQ(s.getSize(), Tuple2(3, 4));
    s.resize(Tuple2(7, 8));
    EXPECT_EQ(s, Rectangle(Point2(5, 6), Tuple2(7, 8)));
    EXPECT_NE(s, Rectangle(Point2(5, 6), Tuple2(7, 8.5)));

    Rectangle copy(s);
    EXPECT_EQ(copy, s);
    copy = r;
    EXPECT_EQ(copy, r);
}

TEST(Rectangle, RangeBothWays)
{
    tnLinear::Range2d range;
    range.set(Point2(40, 60));
    range.extend(Point2(10, 20));
    const Rectangle r(range);
    EXPECT_EQ(r.getOrigin(), Point2(10, 20));
    EXPECT_EQ(r.getSize(), Tuple2(30, 40));

    const tnLinear::Range2d back = r.getRange();
    EXPECT_EQ(back.getMin(), Point2(10, 20));
    EXPECT_EQ(back.getMax(), Point2(40, 60));
    EXPECT_EQ(Rectangle(back), r);
}

TEST(Rectangle, ContainsAllEdgesExactly)
{
    const Rectangle r(Point2(10, 20), Tuple2(30, 40));
    struct Case {
        Point2 p;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20}, true},       {{40, 60}, true},      {{40, 20}, true},       {{10, 60}, true},       {{25, 30}, true},
        {{40.0001, 60}, false}, {{9.9999, 30}, false}, {{25, 19.9999}, false}, {{25, 60.0001}, false}, {{0, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.p), c.inside) << c.p.x << ", " << c.p.y;
}

TEST(Rectangle, EmptyWhenBothSidesNearZero)
{
    const double eps = tnLinear::epsilonTol;
    struct Case {
        Tuple2 size;
        bool empty;
    };
    const Case cases[] = {
        {{0, 0}, true},    {{0, 5}, false},       {{5, 0}, false},   {{eps / 2, -eps / 2}, true},
        {{eps, 0}, false}, {{0, 2 * eps}, false}, {{-1, -1}, false},
    };
    for (const Case& c : cases) {
        const Rectangle r(Point2(3, 4), c.size);
        EXPECT_EQ(r.isEmpty(), c.empty) << c.size.x << ", " << c.size.y;
    }
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
        {{0, 0}, {100, 50}, false, {1, 1}},
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
        EXPECT_DOUBLE_EQ(p.x, c.expected.x) << c.p.x << ", " << c.p.y << " " << c.unitRange;
        EXPECT_DOUBLE_EQ(p.y, c.expected.y) << c.p.x << ", " << c.p.y << " " << c.unitRange;
    }
}

TEST(Rectangle, NormalizePointOfOnePixelDividesByZero)
{
    const Rectangle r(Point2(0, 0), Tuple2(1, 1));
    Point2 p(3, 0);
    r.normalizePoint(p, true);
    EXPECT_TRUE(std::isinf(p.x));
    EXPECT_TRUE(std::isnan(p.y));
}

TEST(Rectangle, Dump)
{
    const Rectangle r(Point2(1.5, -2), Tuple2(30, 40.25));
    tnUITest::DumpCapture capture;
    ASSERT_TRUE(capture.opened());
    r.dump(capture.file, 1, "bounds");
    r.dump(capture.file, 0, nullptr);
    const std::vector<std::string> lines = capture.lines();
    const std::vector<std::string> expected{
        tnUITest::dumpLine(1, 1, "Rectangle " + tnUITest::ptr(&r) + " bounds:"),
        tnUITest::dumpLine(2, 2, "Origin = (1.500000, -2.000000)"),
        tnUITest::dumpLine(3, 2, "Size = (30.000000, 40.250000)"),
        tnUITest::dumpLine(4, 0, "Rectangle " + tnUITest::ptr(&r) + ":"),
        tnUITest::dumpLine(5, 1, "Origin = (1.500000, -2.000000)"),
        tnUITest::dumpLine(6, 1, "Size = (30.000000, 40.250000)"),
    };
    EXPECT_EQ(lines, expected);
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("0x0x"), std::string::npos) << line;
}

} // namespace
