#include "FakeRender.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Rectangle.h>
#include <tnUI/markingmenus/MarkGeometry.h>

#include <cmath>
#include <limits>

namespace {

using namespace tnMarkTest;
using tnLinear::Point2;
using tnLinear::Range2d;

TEST(MarkGeometry, HostPointsAreKeptToTheDesktop)
{
    const Range2d desktop({0.0, 0.0}, {1023.0, 767.0});
    const double twoTo24 = 1 << 24;
    const struct {
        Point2 given;
        Range2d desktop;
        Point2 kept;
    } rows[] = {
        {{1e300, -1e300}, desktop, {1023.0, 0.0}},
        {{-3e9, 3e9}, desktop, {0.0, 767.0}},
        {{-1e20, 40.5}, desktop, {0.0, 40.5}},
        {{500.25, 300.0}, desktop, {500.25, 300.0}},
        // Without screens, a square that ints and floats both hold.
        {{1e30, -1e30}, Range2d(), {twoTo24, -twoTo24}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(tnMarkGeometry::clampToDesktop(row.given.x, row.given.y, row.desktop), row.kept) << row.given.x;

    const double inf = std::numeric_limits<double>::infinity();
    for (const double bad : {std::nan(""), inf, -inf}) {
        EXPECT_THROW(tnMarkGeometry::clampToDesktop(bad, 0.0, desktop), tnUI::ImplError);
        EXPECT_THROW(tnMarkGeometry::clampToDesktop(0.0, bad, Range2d()), tnUI::ImplError);
    }
}

TEST(MarkGeometry, DisplayedMenusKeepTenPixelsFromTheScreenEdges)
{
    // Extents are model units, y up; centres and screens view pixels, y down.
    const Range2d menu({-50.0, -40.0}, {70.0, 40.0});
    const tnUI::Rectangle screen({0.0, 0.0}, {800.0, 600.0});
    const struct {
        const char* where;
        Range2d extents;
        Point2 center;
        tnUI::Rectangle screen;
        tnLinear::Vector2 shift;
    } rows[] = {
        {"inside", menu, {400, 300}, screen, {0, 0}},
        {"exactly at the margins", menu, {60, 50}, screen, {0, 0}},
        {"left", menu, {20, 300}, screen, {40, 0}},
        {"right", menu, {780, 300}, screen, {-60, 0}},
        {"top", menu, {400, 5}, screen, {0, 45}},
        {"bottom left", menu, {5, 580}, screen, {55, -30}},
        {"a fraction over, truncated", Range2d({-50.0, -40.0}, {70.6, 40.0}), {780, 300}, screen, {-60, 0}},
        // Wider than the screen: the left edge stays in sight.
        {"too wide", Range2d({-500.0, -40.0}, {500.0, 40.0}), {400, 300}, screen, {110, 0}},
        {"screen not at the origin", menu, {120, 300}, tnUI::Rectangle({100.0, 0.0}, {800.0, 600.0}), {40, 0}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(tnMarkGeometry::keepOnScreenShift(row.extents, row.center, row.screen), row.shift) << row.where;
}

class MarkGeometryMenus : public MarkTest {};

TEST_F(MarkGeometryMenus, ParentCentreMarkerStepsOffTheItemsInTheirDirection)
{
    // The items' boxes: East "abcdefghij" x 30..130, West "abcdefghij"
    // x -130..-30, both y -8..8; the in-between item 9 lies West by South.
    // The overflow list spans x 0..160 and y -78..-62.
    const struct {
        int markPosition;
        Point2 start;
        bool moves;
    } rows[] = {
        {tnMarkPosition::West, {-60.0, 0.0}, true},
        {tnMarkPosition::West, {-60.0, 15.0}, false},
        {tnMarkPosition::East, {129.0, -13.0}, true},
        {tnMarkPosition::West + 1, {-60.0, -10.0}, true},
        {tnMarkPosition::Northwest, {-40.0, 20.0}, true},
        // On the overflow list only.
        {tnMarkPosition::East, {60.0, -70.0}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.markPosition);
        TestMenu submenu;
        const tnMarkItem* item = addText(submenu, "abcdefghij", row.markPosition);
        // Overflow items are no obstacle.
        submenu.addOverflowItem("abcdefghijklmnop", "", 0, font, nullptr);
        const Point2 end = tnMarkGeometry::moveParentMarker(submenu, row.start);
        EXPECT_EQ(end != row.start, row.moves);
        const Range2d box = item->getBox();
        const float h = tnMarkGeometry::markerHalfSide;
        EXPECT_TRUE(end.x + h <= box.getMin().x || box.getMax().x <= end.x - h || end.y + h <= box.getMin().y ||
                    box.getMax().y <= end.y - h);
        // Along the item's direction.
        const tnLinear::Vector2 step = tnMarkGeometry::markerMove(row.markPosition);
        EXPECT_NEAR((end.x - row.start.x) * step.y, (end.y - row.start.y) * step.x, 1e-3);
    }
    EXPECT_EQ(tnMarkGeometry::markerMove(tnMarkPosition::East + 16), tnMarkGeometry::markerMove(tnMarkPosition::East));
}

TEST_F(MarkGeometryMenus, ParentAreaIsAListOrTheOverflowList)
{
    TestLinearMenu list; // "ab" x 0..20 over "abcd" x 0..40, y 0 down to -34
    list.addItem("ab", "", 1, font, nullptr);
    list.addItem("abcd", "", 2, font, nullptr);
    TestMenu radial; // the list of "abcd" and "ab" spans x -20..20, y -62..-98 (to rounding)
    add("ab", tnMarkPosition::East);
    addText(radial, "ab", tnMarkPosition::East);
    radial.addOverflowItem("abcd", "", 1, font, nullptr);
    radial.addOverflowItem("ab", "", 2, font, nullptr);
    const struct {
        tnMarkMenu* parent;
        Point2 p;
        bool inside;
    } rows[] = {
        {&list, {40.0, -34.0}, true},   {&list, {30.0, -10.0}, true},    {&list, {40.5, 0.0}, false},
        {&list, {0.0, 0.5}, false},     {&radial, {-19.9, -62.1}, true}, {&radial, {19.9, -97.9}, true},
        {&radial, {0.0, -61.5}, false}, {&radial, {40.0, 0.0}, false},   {&radial, {21.0, -70.0}, false},
        {&menu, {40.0, 0.0}, false},    {nullptr, {0.0, 0.0}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(tnMarkGeometry::inParentArea(row.parent, row.p), row.inside) << row.p.x << ", " << row.p.y;
}

} // namespace
