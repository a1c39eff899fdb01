// Quick marks read from hand-made strokes: one case per way a reading of
// single steps or hidden boxes goes wrong.
#include <tnUI/markingmenus/MarkRecogniser.h>

#include "FakeRender.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using namespace tnMarkTest;
using tnLinear::Point2;

// The polyline through the waypoints, a point every spacing units along
// each leg, each point pushed one unit alternately to either side (jitter).
std::vector<tnMarkStrokePoint> stroke(const std::vector<Point2>& waypoints, double spacing)
{
    std::vector<tnMarkStrokePoint> points{{waypoints[0].x, waypoints[0].y, 0.0}};
    for (std::size_t leg = 1; leg < waypoints.size(); ++leg) {
        const Point2 a = waypoints[leg - 1];
        const Point2 b = waypoints[leg];
        const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / spacing));
        for (int i = 1; i <= steps; ++i) {
            const Point2 p = a + (b - a) * (static_cast<double>(i) / steps);
            const double jitter = i < steps && points.size() % 2 ? 1.0 : -1.0;
            points.push_back({p.x + (i < steps ? jitter : 0.0), p.y - (i < steps ? jitter : 0.0),
                              static_cast<double>(points.size())});
        }
    }
    return points;
}

Point2 polar(double degrees, double distance)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {distance * std::cos(a), distance * std::sin(a)};
}

TEST_F(MarkTest, QuickMarksAreReadFromTheShapeOfTheWholeStroke)
{
    // Eight items, ids 1..8 counter-clockwise from East; East opens a
    // submenu of eight, ids 11..18.
    TestMenu sub;
    for (int i = 0; i < 8; ++i) {
        addText(sub, "Submenu item", 2 * i, 11 + i);
        if (i == 0)
            menu.addSubmenuTextItem("East", "", &sub, tnMarkPosition::East, font, nullptr);
        else
            add("A long label", 2 * i, 1 + i);
    }

    struct Case {
        const char* name;
        std::vector<Point2> waypoints;
        double spacing;
        bool finished;
        int chosen;
        // The menu the mark ends in (null: no menu, the stroke stayed in
        // the centre zone), and the corner where it went into it.
        const tnMarkMenu* last;
        std::optional<Point2> corner;
    } cases[] = {
        {"dense compound mark", {{0, 0}, {60, 0}, {60, 60}}, 3.0, true, 13, &sub, Point2(60, 0)},
        {"the same mark, one point per leg", {{0, 0}, {60, 0}, {60, 60}}, 100.0, true, 13, &sub, Point2(60, 0)},
        {"short last leg after a clear corner", {{0, 0}, {60, 0}, {60, 18}}, 3.0, true, 13, &sub, Point2(60, 0)},
        {"reversal", {{0, 0}, {60, 0}, {2, 0}}, 3.0, true, 15, &sub, Point2(60, 0)},
        {"straight through", {{0, 0}, {120, 0}}, 3.0, true, 11, &sub, std::nullopt},
        {"straight, too short for two legs", {{0, 0}, {45, 0}}, 3.0, true, -1, &sub, std::nullopt},
        {"West, close to the North-West band", {{0, 0}, polar(160, 70)}, 3.0, true, 5, &menu, std::nullopt},
        {"never left the centre zone", {{0, 0}, {20, 5}, {-10, 20}, {3, 3}}, 3.0, true, -1, nullptr, std::nullopt},
        {"back into the centre after a leaf", {{0, 0}, {0, 60}, {0, 5}}, 3.0, true, -1, &menu, std::nullopt},
        {"hook at the end of a leaf mark", {{0, 0}, {0, 70}, {8, 62}}, 3.0, true, 3, &menu, std::nullopt},
        // Resting, the pointer is at the end of a leg: the submenu opens
        // there.
        {"resting after a straight leg", {{0, 0}, {60, 0}}, 3.0, false, -1, &sub, Point2(60, 0)},
        {"resting after a corner", {{0, 0}, {60, 0}, {60, 40}}, 3.0, false, 13, &sub, Point2(60, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tnMarkRecogniser::Mark mark =
            tnMarkRecogniser::recognise(stroke(c.waypoints, c.spacing), menu, c.finished);
        if (!c.last) {
            EXPECT_TRUE(mark.steps.empty());
            continue;
        }
        ASSERT_FALSE(mark.steps.empty());
        const tnMarkItem* item = mark.steps.back().item;
        EXPECT_EQ(item ? item->getId() : -1, c.chosen);
        EXPECT_EQ(mark.steps.back().menu, c.last);
        ASSERT_GE(mark.corners.size(), 2u);
        if (c.corner) {
            const Point2 at = mark.steps.back().center;
            EXPECT_LE(std::hypot(at.x - c.corner->x, at.y - c.corner->y), 4.0) << at.x << ", " << at.y;
            if (c.finished) {
                ASSERT_EQ(mark.corners.size(), 3u);
                EXPECT_EQ(mark.corners[1], at);
            }
        }
    }
    // A stroke without a single finite point, or without a point, reads as
    // nothing.
    const double nan = std::nan("");
    EXPECT_TRUE(tnMarkRecogniser::recognise({{nan, 0, 0}, {nan, nan, 1}}, menu, true).steps.empty());
    EXPECT_TRUE(tnMarkRecogniser::recognise({}, menu, true).steps.empty());
}

} // namespace
