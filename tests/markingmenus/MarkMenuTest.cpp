#include "FakeRender.h"

#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkImageItem.h>

namespace {

using namespace tnMarkTest;

class MarkMenuLayout : public MarkTest {
protected:
    tnMarkMenuItem* addImage(int markPosition, const char* highlighted = "h.png")
    {
        return menu.addImageItem("n.png", highlighted, "", "", 0, markPosition, nullptr);
    }
    tnMarkMenuItem* addOverflow(const char* label) { return menu.addOverflowItem(label, "", 0, font, nullptr); }
};

TEST_F(MarkMenuLayout, AutomaticPositionsGoClockwiseFromNorthAndAdvanceOverTakenOnes)
{
    ASSERT_NE(add("x", 3), nullptr);
    EXPECT_EQ(add("a", tnMarkPosition::Auto)->getPosition().getMarkPosition(), 4);
    EXPECT_EQ(add("b", tnMarkPosition::Auto), nullptr);
    for (int expected : {2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5})
        EXPECT_EQ(add("c", tnMarkPosition::Auto)->getPosition().getMarkPosition(), expected);
    EXPECT_EQ(add("d", tnMarkPosition::Auto), nullptr);
    EXPECT_EQ(menu.getNumItems(), 16);
}

// North and South sit ten units further out. Pictures of 20 x 10 make items
// 25 wide, pushed out by 0.2 of it, or 0.5 once any item is off axis.
TEST_F(MarkMenuLayout, RadialDistancesAndOffsets)
{
    for (int p : {0, 2, 4, 5, 8, 12})
        EXPECT_FLOAT_EQ(add("a", p)->getPosition().getLength(), p == 4 || p == 12 ? 40.0f : 30.0f) << p;
    menu.setRadius(50.0f);
    EXPECT_FLOAT_EQ(add("b", tnMarkPosition::Southeast)->getPosition().getLength(), 50.0f);
    EXPECT_FLOAT_EQ(menu.itemAtPosition(tnMarkPosition::North)->getPosition().getLength(), 40.0f);

    TestMenu pictures;
    const auto addImage = [&pictures](int p) { return pictures.addImageItem("n.png", "h.png", "", "", 0, p, nullptr); };
    const tnMarkMenuItem* east = addImage(tnMarkPosition::East);
    const tnMarkMenuItem* north = addImage(tnMarkPosition::North);
    EXPECT_EQ(ref(*east) + ", " + ref(*north), "35 0, 0 45");
    addImage(tnMarkPosition::Northeast);
    EXPECT_EQ(ref(*east) + ", " + ref(*north), "42.5 0, 0 52.5");
    EXPECT_FALSE(addImage(tnMarkPosition::West)->getAxisOnlyOffset());
    // An overflow list counts as off axis.
    TestMenu listed;
    const tnMarkMenuItem* alone = listed.addImageItem("n.png", "h.png", "", "", 0, 0, nullptr);
    listed.addOverflowItem("more", "", 0, font, nullptr);
    EXPECT_FALSE(alone->getAxisOnlyOffset());
}

TEST_F(MarkMenuLayout, OverflowItemsStackBelowTheCentre)
{
    add("e", tnMarkPosition::East);
    const tnMarkMenuItem* first = addOverflow("a");
    const tnMarkMenuItem* second = addOverflow("abcd");
    menu.addSeparator();
    add("n", tnMarkPosition::North); // not part of the list
    const tnMarkMenuItem* third = addOverflow("ab");

    EXPECT_EQ(menu.getFirstOverflowIndex(), 1);
    EXPECT_TRUE(second->hasSeparatorAfter());
    // Three rows of 18 and a separator of 2; the widest item sets the width
    // and the column is centred under the menu.
    EXPECT_EQ(std::pair(menu.getOverflowWidth(), menu.getOverflowHeight()), std::pair(40.0f, 56.0f));
    std::vector<std::string> column;
    for (const tnMarkMenuItem* item : {first, second, third}) {
        EXPECT_TRUE(item->isInOverflow());
        EXPECT_EQ(item->getPosition().getMarkPosition(), tnMarkPosition::Overflow);
        column.push_back(at(item->getPosition().getX(), item->getPosition().getY()) + ' ' +
                         num(item->getBox().getMin().x) + ".." + num(item->getBox().getMax().x) + ' ' +
                         num(item->getMarkWidth()));
    }
    EXPECT_EQ(column, (std::vector<std::string>{"-20 -62 -20..20 40", "-20 -80 -20..20 40", "-20 -100 -20..20 40"}));
}

TEST_F(MarkMenuLayout, ExtentsHoldTheCentreAndEveryBox)
{
    float right = 1.0f, bottom = 1.0f, left = 1.0f, top = 1.0f;
    menu.getExtents(right, bottom, left, top);
    EXPECT_EQ(at(right, bottom) + ' ' + at(left, top), "0 0 0 0");

    add("abcd", tnMarkPosition::East); // 40 x 16 from (30, 0) outward
    add("ab", tnMarkPosition::North);  // 20 x 16 centred, hanging below 40
    menu.getExtents(right, bottom, left, top);
    EXPECT_EQ(at(right, bottom) + ' ' + at(left, top), "70 -8 -10 40");

    // The overflow list counts as the centred column it becomes.
    addOverflow("abcdef");
    menu.getExtents(right, bottom, left, top);
    EXPECT_EQ(at(right, bottom) + ' ' + at(left, top), "70 -78 -30 40");
}

// Refused additions leave the menu as it was.
TEST_F(MarkMenuLayout, RefusedItemsAndParents)
{
    // An option box goes to the last item; without one it has no place.
    EXPECT_EQ(menu.addOptionBox(7, "", nullptr), nullptr);
    ASSERT_NE(add("a", tnMarkPosition::West), nullptr);
    EXPECT_EQ(add("b", tnMarkPosition::West), nullptr);
    EXPECT_EQ(addImage(tnMarkPosition::West), nullptr);
    for (int bad : {tnMarkPosition::None, tnMarkPosition::Overflow, -1, 40})
        EXPECT_EQ(add("c", bad), nullptr) << bad;
    for (const char* unusable : {"wide.png", "missing.png"})
        EXPECT_THROW(addImage(tnMarkPosition::North, unusable), tnMarkBadImageException) << unusable;
    EXPECT_EQ(menu.insertItem(nullptr), nullptr);
    auto* item = new FakeTextItem("a", "", 1, tnMarkPosition(0, 30.0f), nullptr, font);
    EXPECT_EQ(menu.insertItem(item), item);
    EXPECT_THROW(menu.insertItem(item), tnUI::DuplicateError);
    EXPECT_THROW(menu.insertItem(menu.addOptionBox(2, "", nullptr)), tnUI::ImplError);
    EXPECT_EQ(menu.getNumItems(), 2);
    EXPECT_NE(addImage(tnMarkPosition::North), nullptr);

    // Parent chains may not loop.
    TestMenu child, grandchild;
    EXPECT_THROW(menu.setParentMenu(&menu), tnUI::CycleError);
    child.setParentMenu(&menu);
    grandchild.setParentMenu(&child);
    EXPECT_THROW(menu.setParentMenu(&grandchild), tnUI::CycleError);
    EXPECT_EQ(menu.getParentMenu(), nullptr);
}

TEST_F(MarkMenuLayout, SubmenuLinksAreCutWhicheverSideDiesFirst)
{
    auto* submenu = new TestMenu;
    tnMarkMenuItem* item = menu.addSubmenuTextItem("s", "", submenu, tnMarkPosition::East, font, nullptr);
    EXPECT_TRUE(item->getId() == 0 && submenu->getParentItem() == item);
    // A menu is the submenu of one item at a time.
    tnMarkMenuItem* other = menu.addSubmenuTextItem("t", "", submenu, tnMarkPosition::West, font, nullptr);
    EXPECT_TRUE(item->getSubmenu() == nullptr && submenu->getParentItem() == other);
    delete submenu;
    EXPECT_EQ(other->getSubmenu(), nullptr);

    TestMenu survivor;
    {
        TestMenu parent;
        parent.addSubmenuImageItem("n.png", "h.png", "", "", &survivor, tnMarkPosition::East, nullptr);
        survivor.setParentMenu(&parent);
        EXPECT_TRUE(survivor.hasParentItem());
    }
    EXPECT_TRUE(survivor.getParentItem() == nullptr && survivor.getParentMenu() == nullptr);
}

} // namespace
