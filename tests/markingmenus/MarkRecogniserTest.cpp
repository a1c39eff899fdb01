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

    // Shapes shared by pairs of cases that straddle a threshold.
    const Point2 east(60, 0);
    const Point2 bent = east + polar(15, 80);
    const Point2 bowed = polar(72, 60);
    struct Case {
        const char* name;
        std::vector<Point2> waypoints;
        double spacing;
        bool finished;
        int chosen;
        // The menu the mark ends in (null: no menu, the stroke stayed in
        // the centre zone), and the corner where it went into it (none: not
        // checked).
        const tnMarkMenu* last;
        std::optional<Point2> corner;
    } cases[] = {
        {"dense compound mark", {{0, 0}, {60, 0}, {60, 60}}, 3.0, true, 13, &sub, Point2(60, 0)},
        {"the same mark, one point per leg", {{0, 0}, {60, 0}, {60, 60}}, 100.0, true, 13, &sub, Point2(60, 0)},
        {"reversal", {{0, 0}, {60, 0}, {2, 0}}, 3.0, true, 15, &sub, Point2(60, 0)},
        {"straight through", {{0, 0}, {120, 0}}, 3.0, true, 11, &sub, {}},
        {"straight, too short for two legs", {{0, 0}, {45, 0}}, 3.0, true, -1, &sub, {}},
        {"West, close to the North-West band", {{0, 0}, polar(160, 70)}, 3.0, true, 5, &menu, {}},
        {"never left the centre zone", {{0, 0}, {20, 5}, {-10, 20}, {3, 3}}, 3.0, true, -1, nullptr, {}},
        {"back into the centre after a leaf", {{0, 0}, {0, 60}, {0, 5}}, 3.0, true, -1, &menu, {}},
        // Resting, the pointer is at the end of a leg: the submenu opens
        // there. Only a clear corner splits the stroke.
        {"resting after a straight leg", {{0, 0}, {60, 0}}, 3.0, false, -1, &sub, Point2(60, 0)},
        {"resting, 33-degree turn", {{0, 0}, {60, 0}, east + polar(33, 40)}, 3.0, false, -1, &sub, {}},
        {"resting, 37-degree turn", {{0, 0}, {60, 0}, east + polar(37, 40)}, 3.0, false, 12, &sub, Point2(60, 0)},
        // After a clear corner, a last leg longer than the short-leg length
        // chooses.
        {"last leg of 9 after a corner", {{0, 0}, {60, 0}, {60, 9}}, 3.0, true, -1, &sub, Point2(60, 0)},
        {"last leg of 11 after a corner", {{0, 0}, {60, 0}, {60, 11}}, 3.0, true, 13, &sub, Point2(60, 0)},
        // Without a clear corner each leg keeps its share of the stroke: a
        // gentle bend a quarter of the way along is passed before the split.
        {"gentle bend early", {{0, 0}, {50, 0}, Point2(50, 0) + polar(20, 150)}, 3.0, true, 11, &sub, Point2(65, 4)},
        // A hook after a gentle bend is a corner only when it fits clearly
        // better than a split at the bend.
        {"bent, hook of 16", {{0, 0}, {60, 0}, bent, bent + polar(90, 16)}, 3.0, true, 11, &sub, {}},
        {"bent, hook of 20", {{0, 0}, {60, 0}, bent, bent + polar(90, 20)}, 3.0, true, 13, &sub, {}},
        // A bowed leaf leg ends at its hook only when that fits clearly
        // better than one straight leg; else the chord chooses.
        {"bowed leaf, hook of 12", {{0, 0}, polar(60, 30), bowed, bowed + polar(12, 12)}, 3.0, true, 2, &menu, {}},
        {"bowed leaf, hook of 14", {{0, 0}, polar(60, 30), bowed, bowed + polar(12, 14)}, 3.0, true, 3, &menu, {}},
        // A last leg that steps aside: the lines fitted to the legs cross
        // before the split point, which gives way to the crossing within 8
        // units and within half the shorter leg.
        {"step of 13", {{0, 0}, {100, 0}, {100, 13}, {113, 13}}, 100.0, true, 12, &sub, Point2(93.5, 0)},
        {"step of 19", {{0, 0}, {100, 0}, {100, 19}, {119, 19}}, 100.0, true, 12, &sub, Point2(100, 0)},
        {"step, under half", {{0, 0}, {100, 0}, {100, 9}, {109, 8}}, 100.0, true, 12, &sub, Point2(94.9, 0)},
        {"step, over half", {{0, 0}, {100, 0}, {100, 9}, {109, 7}}, 100.0, true, 12, &sub, Point2(100, 0)},
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
            EXPECT_LE(std::hypot(at.x - c.corner->x, at.y - c.corner->y), 2.0) << at.x << ", " << at.y;
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
