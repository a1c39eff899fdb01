#include "FakeRender.h"

namespace {

using namespace tnMarkTest;
using Calls = std::vector<std::string>;

Calls operator+(Calls a, const Calls& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class MarkDrawing : public MarkTest {
protected:
    // East "ab" with an option box, North "ab", one overflow item "abcd".
    MarkDrawing()
    {
        east = menu.addTextItem("ab", "east tip", 1, tnMarkPosition::East, font, nullptr);
        menu.addOptionBox(2, "", nullptr);
        add("ab", tnMarkPosition::North);
        menu.addOverflowItem("abcd", "", 4, font, nullptr);
    }

    static Calls draw(tnMarkMenu& m, bool refreshItems = false)
    {
        FakeRender render;
        m.draw(render, refreshItems);
        return render.calls;
    }

    tnMarkMenuItem* east = nullptr;
    const Calls list{"list -20 -62 40 18"};
    const Calls items{"text ab 40 0", "box 42 0 state 0", "text ab 0 32", "text abcd 0 -70"};
};

TEST_F(MarkDrawing, ShownMenuDrawsRefreshCentreListThenItems)
{
    EXPECT_EQ(draw(menu), list + items);
    EXPECT_FALSE(east->isDirty());
    menu.setAlwaysShowCenter(true);
    EXPECT_EQ(draw(menu, true), (Calls{"refresh ab", "refresh ab", "refresh abcd", "center"} + list + items));
}

TEST_F(MarkDrawing, HiddenItemsLeaveOnlyTheCentreMarkOrImage)
{
    menu.hideItems();
    EXPECT_EQ(draw(menu, true), Calls{"center"});
    menu.setCenterHighlighted(true);
    menu.setCenterImages("c.png", "");
    EXPECT_EQ(draw(menu), Calls{"image c.png 0 0"});
    menu.setCenterImages("c.png", "hc.png");
    EXPECT_EQ(draw(menu), Calls{"image hc.png 0 0"});
    menu.setCenterHighlighted(false);
    EXPECT_EQ(draw(menu), Calls{"image c.png 0 0"});
    tnMarkMenu::setGesturePhase(true);
    EXPECT_EQ(draw(menu, true), Calls{});
}

TEST_F(MarkDrawing, ParentsAreDrawnFirstAroundTheirOwnCentres)
{
    TestMenu grandparent;
    grandparent.hideItems();
    TestMenu submenu;
    addText(submenu, "ab", tnMarkPosition::West);
    menu.setParentMenu(&grandparent);
    menu.setParentOffset(5.0f, 5.0f);
    submenu.setParentMenu(&menu);
    submenu.setParentOffset(-40.0f, 10.0f);

    const Calls parent = Calls{"translate 5 5", "center",     "translate -5 -5", "line 0 0 5 5",
                               "refresh ab",    "refresh ab", "refresh abcd"} +
                         list + items;
    EXPECT_EQ(draw(submenu),
              (Calls{"translate -40 10"} + parent + Calls{"translate 40 -10", "line 0 0 -40 10", "text ab -40 0"}));

    // A list has no pointer line to its parent.
    TestLinearMenu linear;
    linear.setParentMenu(&grandparent);
    linear.setParentOffset(-50.0f, -8.0f);
    EXPECT_EQ(draw(linear), (Calls{"translate -50 -8", "center", "translate 50 8", "list 0 0 0 0"}));
}

TEST_F(MarkDrawing, BitmapOverflowItemComesLastWithItsLayers)
{
    menu.bitmapsAvailable = true;
    menu.addBitmapOverflowItem("bitmap.png", 9, nullptr);
    // The 8 x 8 layer sits diagonally off the anchor by half its size; the
    // anchor, straight South in single precision, lies a hair left of 0.
    menu.addBitmapOverflowLayer("layer.png");
    EXPECT_EQ(draw(menu), (list + items + Calls{"image bitmap.png 0 -100", "image layer.png -4 -84"}));
    menu.setDrawOverflowBitmap(false);
    EXPECT_EQ(draw(menu), list + items);
}

TEST_F(MarkDrawing, ItemAtAPointAndTooltipBesideTheBox)
{
    FakeRender render;
    east->drawAt(5.0f, 6.0f, render);
    east->showToolTip(render);
    EXPECT_EQ(render.calls, (Calls{"text ab 5 6", "tooltip east tip 30 -8 50 8"}));
}

} // namespace
