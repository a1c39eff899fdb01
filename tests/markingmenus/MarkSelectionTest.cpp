#include "FakeRender.h"

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

// The radii themselves do not count, and ties (elsewhere: the fuzzer's).
TEST_F(MarkSelection, DirectionCountsStrictlyBetweenTheRadiiAndTiesGoToTheFirstItem)
{
    tnMarkMenuItem* east = add("ab", tnMarkPosition::East);
    for (const auto& [distance, chosen, beyond] : {std::tuple(25.0, false, false), std::tuple(26.0, true, false),
                                                   std::tuple(250.0, false, false), std::tuple(251.0, false, true)}) {
        EXPECT_EQ(hoverAt({distance, 0.0}), chosen ? east : nullptr) << distance;
        EXPECT_EQ(east->getState(), chosen ? tnMarkItem::Highlighted : tnMarkItem::Normal) << distance;
        EXPECT_EQ(menu.isBeyondMaxRadius(), beyond) << distance;
    }

    TestMenu same;
    same.insertItem(new FakeTextItem("a", "", 1, tnMarkPosition(2, 30.0f), nullptr, font));
    same.insertItem(new FakeTextItem("b", "", 2, tnMarkPosition(2, 30.0f), nullptr, font));
    EXPECT_EQ(same.nearestItemByAngle(50.0f, 10.0f), 0);
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
    // 10 and 25 degrees above East.
    EXPECT_EQ(hoverAt({98.5, 17.4}), east);
    EXPECT_EQ(hoverAt({90.6, 42.3}), ne);
    tnMarkMenu::setGesturePhase(false);
    EXPECT_EQ(hoverAt({98.5, 17.4}), ne);
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
    menu.hover(90.0f, 0.0f, false);
    EXPECT_EQ(menu.getSelectedItem(), box);

    // Hidden items or a disabled box leave the item itself.
    menu.hideItems();
    EXPECT_EQ(menu.itemAtPoint(85.0f, 0.0f), east);
    menu.showItems();
    box->setState(tnMarkItem::Disabled);
    EXPECT_EQ(menu.itemAtPoint(85.0f, 0.0f), east);
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

} // namespace
