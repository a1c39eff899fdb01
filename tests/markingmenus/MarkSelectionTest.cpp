#include "FakeRender.h"

#include <tnUI/markingmenus/MarkBitmapOverflowItem.h>

namespace {

using namespace tnMarkTest;

class MarkSelection : public MarkTest {
protected:
    tnMarkItem* hoverAt(const tnLinear::Point2& p, bool force = false)
    {
        menu.hover(static_cast<float>(p.x), static_cast<float>(p.y), force);
        return menu.getHighlightedItem();
    }
};

TEST_F(MarkSelection, DirectionCountsBetweenTheCentreAndTheMaximumRadius)
{
    tnMarkMenuItem* east = add("ab", tnMarkPosition::East);
    struct Case {
        double distance;
        bool chosen;
        bool beyond;
    };
    for (const Case& c :
         {Case{25, false, false}, Case{26, true, false}, Case{249, true, false}, Case{250, false, false},
          Case{251, false, true}, Case{300, false, true}, Case{100, true, false}, Case{0, false, false}}) {
        EXPECT_EQ(hoverAt({c.distance, 0.0}), c.chosen ? east : nullptr) << c.distance;
        EXPECT_EQ(east->getState(), c.chosen ? tnMarkItem::Highlighted : tnMarkItem::Normal) << c.distance;
        EXPECT_EQ(menu.isBeyondMaxRadius(), c.beyond) << c.distance;
    }
}

TEST_F(MarkSelection, EqualDirectionsGoToTheItemAddedFirst)
{
    menu.insertItem(new FakeTextItem("a", "", 1, tnMarkPosition(2, 30.0f), nullptr, font));
    menu.insertItem(new FakeTextItem("b", "", 2, tnMarkPosition(2, 30.0f), nullptr, font));
    EXPECT_EQ(menu.nearestItemByAngle(50.0f, 10.0f), 0);

    // Halfway between North and East both are 45 degrees off in single
    // precision.
    TestMenu axes;
    addText(axes, "n", tnMarkPosition::North);
    addText(axes, "e", tnMarkPosition::East);
    tnMarkMenu::setGesturePhase(true);
    EXPECT_EQ(axes.nearestItemByAngle(50.0f, 50.0f), 0);
}

TEST_F(MarkSelection, GesturesAimAtAnchorsShownMenusAtItems)
{
    // Shown, the Northeast label hangs right and down to about 18 degrees.
    tnMarkMenuItem* east = add("abcd", tnMarkPosition::East);
    tnMarkMenuItem* ne = add("abcd", tnMarkPosition::Northeast);
    tnMarkMenu::setGesturePhase(true);
    EXPECT_EQ(hoverAt(towards(10, 100.0)), east);
    EXPECT_EQ(hoverAt(towards(25, 100.0)), ne);
    tnMarkMenu::setGesturePhase(false);
    EXPECT_EQ(hoverAt(towards(10, 100.0)), ne);
}

TEST_F(MarkSelection, HoverReportsChangesAndNotifiesBothItems)
{
    tnMarkMenuItem* east = add("ab", tnMarkPosition::East);
    tnMarkMenuItem* north = add("ab", tnMarkPosition::North);
    EXPECT_TRUE(menu.hover(100.0f, 0.0f, false));
    EXPECT_FALSE(menu.hover(110.0f, 0.0f, false));
    EXPECT_TRUE(menu.hover(0.0f, 100.0f, false));
    EXPECT_TRUE(menu.hover(0.0f, 0.0f, false));
    EXPECT_EQ(menu.hovered, (std::vector<tnMarkItem*>{east, east, east, north, north}));
    EXPECT_EQ(north->getState(), tnMarkItem::Normal);
}

TEST_F(MarkSelection, OptionBoxWinsWhereItOverlapsItsItem)
{
    // East "abcdef" spans x 30..90; once drawn its box takes x 74..90.
    tnMarkMenuItem* east = add("abcdef", tnMarkPosition::East, 1);
    tnMarkOptionBoxItem* box = menu.addOptionBox(2, "", nullptr);
    FakeRender render;
    menu.draw(render, false);
    EXPECT_EQ(menu.itemAtPoint(74.0f, 0.0f), box);
    EXPECT_EQ(menu.itemAtPoint(73.0f, 0.0f), east);
    menu.pointerX = 90.0f;
    EXPECT_EQ(menu.popup(0.0f, 0.0f, false), 2);

    // Hidden items or a disabled box leave the item itself.
    menu.hideItems();
    EXPECT_EQ(menu.itemAtPoint(85.0f, 0.0f), east);
    menu.showItems();
    box->setState(tnMarkItem::Disabled);
    EXPECT_EQ(menu.itemAtPoint(85.0f, 0.0f), east);
}

TEST_F(MarkSelection, ForcedOrAllSubmenusHoverChoosesOneWayOnly)
{
    tnMarkMenuItem* east = add("ab", tnMarkPosition::East); // box x 30..50
    EXPECT_EQ(hoverAt({100.0, 0.0}, true), nullptr);
    EXPECT_EQ(hoverAt({40.0, 0.0}, true), east);
    // Showing all submenus while hidden: direction only, so the box inside
    // a wide centre is not found.
    menu.setCenterRadius(60.0f);
    menu.setShowAllSubmenus(true);
    menu.hideItems();
    EXPECT_EQ(hoverAt({40.0, 0.0}), nullptr);
    EXPECT_EQ(hoverAt({61.0, 0.0}), east);
}

TEST_F(MarkSelection, TheOverflowListIsEnteredByPointingAndLeftUpward)
{
    tnMarkMenuItem* southeast = add("ab", tnMarkPosition::Southeast);
    tnMarkMenuItem* first = menu.addOverflowItem("abcd", "", 1, font, nullptr);
    tnMarkMenuItem* second = menu.addOverflowItem("abcd", "", 2, font, nullptr);
    // The list spans x -20..20 and y -62 down to -98.
    EXPECT_EQ(hoverAt({0.0, -70.0}), first);
    EXPECT_TRUE(menu.isInOverflowList());
    EXPECT_EQ(hoverAt({0.0, -85.0}), second);
    // Beside the list but not above it there is no choice by direction.
    EXPECT_EQ(hoverAt({200.0, -70.0}), nullptr);
    EXPECT_EQ(hoverAt({200.0, -50.0}), southeast);
    EXPECT_FALSE(menu.isInOverflowList());
    EXPECT_EQ(hoverAt({200.0, -70.0}), southeast);

    // Hidden items ignore the list, forced or not.
    EXPECT_EQ(hoverAt({0.0, -70.0}), first);
    menu.hideItems();
    EXPECT_FALSE(menu.hover(0.0f, -85.0f, false));
    EXPECT_FALSE(menu.hover(200.0f, -30.0f, true));
    EXPECT_EQ(menu.getHighlightedItem(), first);
}

TEST_F(MarkSelection, BitmapOverflowItemTakesPrecedence)
{
    menu.bitmapsAvailable = true;
    tnMarkMenuItem* south = add("ab", tnMarkPosition::South);
    // 40 x 20, centred 82 below the centre.
    tnMarkBitmapOverflowItem* bitmap = menu.addBitmapOverflowItem("bitmap.png", 7, nullptr);
    EXPECT_TRUE(menu.hover(0.0f, -80.0f, false));
    EXPECT_EQ(menu.getHighlightedItem(), nullptr);
    EXPECT_EQ(menu.getSelectedItem(), bitmap);

    // Once drawn, resting on it is no change; leaving it lets direction
    // choose again.
    FakeRender render;
    menu.draw(render, false);
    EXPECT_FALSE(menu.hover(0.0f, -81.0f, false));
    EXPECT_TRUE(menu.hover(0.0f, -100.0f, false));
    EXPECT_EQ(bitmap->getState(), tnMarkItem::Normal);
    EXPECT_EQ(menu.getHighlightedItem(), south);

    menu.setDrawOverflowBitmap(false);
    menu.hover(0.0f, -80.0f, false);
    EXPECT_EQ(menu.getSelectedItem(), south);
}

} // namespace
