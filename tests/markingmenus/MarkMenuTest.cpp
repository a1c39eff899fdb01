#include "FakeRender.h"

#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkBitmapOverflowItem.h>
#include <tnUI/markingmenus/MarkImageItem.h>

namespace {

using namespace tnMarkTest;

class MarkMenuLayout : public MarkTest {
protected:
    tnMarkMenuItem* add(const char* label, int markPosition) { return addText(menu, label, markPosition); }
    tnMarkMenuItem* addImage(int markPosition, const char* highlighted = "h.png")
    {
        return menu.addImageItem("n.png", highlighted, "", "", 0, markPosition, nullptr);
    }
    tnMarkMenuItem* addOverflow(const char* label) { return menu.addOverflowItem(label, "", 0, font, nullptr); }

    TestMenu menu;
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

TEST_F(MarkMenuLayout, OnlyFreeDirectionsTakeItems)
{
    ASSERT_NE(add("a", tnMarkPosition::West), nullptr);
    EXPECT_EQ(add("b", tnMarkPosition::West), nullptr);
    EXPECT_EQ(addImage(tnMarkPosition::West), nullptr);
    for (int bad : {tnMarkPosition::None, tnMarkPosition::Overflow, -1, 40})
        EXPECT_EQ(add("c", bad), nullptr) << bad;
    EXPECT_EQ(menu.getNumItems(), 1);
}

TEST_F(MarkMenuLayout, NorthAndSouthSitTenUnitsFurtherOut)
{
    for (int p : {0, 2, 4, 5, 8, 12}) {
        const float expected = p == 4 || p == 12 ? 40.0f : 30.0f;
        EXPECT_FLOAT_EQ(add("a", p)->getPosition().getLength(), expected) << p;
    }
    menu.setRadius(50.0f);
    EXPECT_FLOAT_EQ(add("b", tnMarkPosition::Southeast)->getPosition().getLength(), 50.0f);
    EXPECT_FLOAT_EQ(menu.itemAtPosition(tnMarkPosition::North)->getPosition().getLength(), 40.0f);
}

TEST_F(MarkMenuLayout, OffAxisItemSwitchesEveryItemToTheWiderOffset)
{
    // Pictures of 20 x 10 make items 25 wide, pushed out by 0.2 or 0.5 of it.
    const tnMarkMenuItem* east = addImage(tnMarkPosition::East);
    const tnMarkMenuItem* north = addImage(tnMarkPosition::North);
    tnMarkPosition ref;
    east->getReferencePoint(ref);
    EXPECT_FLOAT_EQ(ref.getX(), 35.0f);
    north->getReferencePoint(ref);
    EXPECT_FLOAT_EQ(ref.getY(), 45.0f);

    addImage(tnMarkPosition::Northeast);
    east->getReferencePoint(ref);
    EXPECT_FLOAT_EQ(ref.getX(), 42.5f);
    north->getReferencePoint(ref);
    EXPECT_FLOAT_EQ(ref.getY(), 52.5f);
    EXPECT_FALSE(addImage(tnMarkPosition::West)->getAxisOnlyOffset());

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
    EXPECT_TRUE(first->isInOverflow());
    EXPECT_TRUE(second->hasSeparatorAfter());
    EXPECT_FLOAT_EQ(first->getPosition().getY(), -62.0f);
    EXPECT_FLOAT_EQ(second->getPosition().getY(), -80.0f);
    EXPECT_FLOAT_EQ(third->getPosition().getY(), -100.0f);
    EXPECT_FLOAT_EQ(menu.getOverflowHeight(), 3 * (itemHeight + 2.0f) + 2.0f);

    // The widest item sets the width; the column is centred under the menu.
    EXPECT_FLOAT_EQ(menu.getOverflowWidth(), 40.0f);
    for (const tnMarkMenuItem* item : {first, second, third}) {
        EXPECT_FLOAT_EQ(item->getMarkWidth(), 40.0f);
        EXPECT_NEAR(item->getBox().getMin().x, -20.0, 1e-5);
        EXPECT_NEAR(item->getBox().getMax().x, 20.0, 1e-5);
        EXPECT_EQ(item->getPosition().getMarkPosition(), tnMarkPosition::Overflow);
    }
    EXPECT_NEAR(first->getPosition().getX(), -20.0f, 1e-5f);
}

TEST_F(MarkMenuLayout, SeparatorsAndOptionBoxesGoToTheLastItem)
{
    EXPECT_EQ(menu.addOptionBox(7, "", nullptr), nullptr);
    menu.addSeparator();
    tnMarkMenuItem* east = add("e", tnMarkPosition::East);
    menu.addSeparator();
    EXPECT_FALSE(east->hasSeparatorAfter());

    int data = 0;
    tnMarkOptionBoxItem* box = menu.addOptionBox(7, "options", &data);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(east->getOptionBox(), box);
    EXPECT_EQ(box->getOwner(), east);
    EXPECT_EQ(utf8(box->getToolTip()->getText()), "options");
    EXPECT_EQ(menu.getNumItems(), 1); // the box is no item of the menu
    EXPECT_EQ(menu.itemAt(1), nullptr);
}

TEST_F(MarkMenuLayout, ExtentsHoldTheCentreAndEveryBox)
{
    float right = 1.0f, bottom = 1.0f, left = 1.0f, top = 1.0f;
    menu.getExtents(right, bottom, left, top);
    EXPECT_EQ(std::vector<float>({right, bottom, left, top}), std::vector<float>(4, 0.0f));

    add("abcd", tnMarkPosition::East); // 40 x 16 from (30, 0) outward
    add("ab", tnMarkPosition::North);  // 20 x 16 centred, hanging below 40
    menu.getExtents(right, bottom, left, top);
    EXPECT_FLOAT_EQ(right, 70.0f);
    EXPECT_FLOAT_EQ(bottom, -8.0f);
    EXPECT_NEAR(left, -10.0f, 1e-5f);
    EXPECT_FLOAT_EQ(top, 40.0f);

    // The overflow list counts as the centred column it becomes.
    addOverflow("abcdef");
    menu.getExtents(right, bottom, left, top);
    EXPECT_NEAR(left, -30.0f, 1e-5f);
    EXPECT_FLOAT_EQ(bottom, -62.0f - itemHeight);
}

TEST_F(MarkMenuLayout, InsertItemTakesOwnershipOnce)
{
    EXPECT_EQ(menu.insertItem(nullptr), nullptr);
    auto* item = new FakeTextItem("a", "", 1, tnMarkPosition(0, 30.0f), nullptr, font);
    EXPECT_EQ(menu.insertItem(item), item);
    EXPECT_THROW(menu.insertItem(item), tnUI::DuplicateError);
    EXPECT_THROW(menu.insertItem(menu.addOptionBox(2, "", nullptr)), tnUI::ImplError);
    EXPECT_EQ(menu.getNumItems(), 1);
}

TEST_F(MarkMenuLayout, SubmenuLinksAreCutWhicheverSideDiesFirst)
{
    auto* submenu = new TestMenu;
    tnMarkMenuItem* item = menu.addSubmenuTextItem("s", "", submenu, tnMarkPosition::East, font, nullptr);
    EXPECT_EQ(item->getId(), 0);
    EXPECT_EQ(submenu->getParentItem(), item);
    // A menu is the submenu of one item at a time.
    tnMarkMenuItem* other = menu.addSubmenuTextItem("t", "", submenu, tnMarkPosition::West, font, nullptr);
    EXPECT_EQ(item->getSubmenu(), nullptr);
    EXPECT_EQ(submenu->getParentItem(), other);
    delete submenu;
    EXPECT_EQ(other->getSubmenu(), nullptr);

    TestMenu survivor;
    {
        TestMenu parent;
        parent.addSubmenuImageItem("n.png", "h.png", "", "", &survivor, tnMarkPosition::East, nullptr);
        survivor.setParentMenu(&parent);
        EXPECT_TRUE(survivor.hasParentItem());
    }
    EXPECT_EQ(survivor.getParentItem(), nullptr);
    EXPECT_EQ(survivor.getParentMenu(), nullptr);
}

TEST_F(MarkMenuLayout, ParentChainsMayNotLoop)
{
    TestMenu child;
    TestMenu grandchild;
    EXPECT_THROW(menu.setParentMenu(&menu), tnUI::CycleError);
    child.setParentMenu(&menu);
    grandchild.setParentMenu(&child);
    EXPECT_THROW(menu.setParentMenu(&grandchild), tnUI::CycleError);
    EXPECT_EQ(menu.getParentMenu(), nullptr);
}

TEST_F(MarkMenuLayout, ImageItemWithUnusablePicturesIsNotAdded)
{
    addImage(tnMarkPosition::East);
    EXPECT_THROW(addImage(tnMarkPosition::West, "wide.png"), tnMarkBadImageException);
    EXPECT_THROW(addImage(tnMarkPosition::West, "missing.png"), tnMarkBadImageException);
    EXPECT_EQ(menu.getNumItems(), 1);
    EXPECT_NE(addImage(tnMarkPosition::West), nullptr);
}

TEST_F(MarkMenuLayout, BitmapOverflowNeedsABitmapFromThePlatform)
{
    EXPECT_EQ(menu.addBitmapOverflowItem("bitmap.png", 1, nullptr), nullptr);
    EXPECT_EQ(menu.addBitmapOverflowLayer("layer.png"), nullptr);
    menu.bitmapsAvailable = true;
    EXPECT_EQ(menu.addBitmapOverflowLayer("layer.png"), nullptr);
    ASSERT_NE(menu.addBitmapOverflowItem("bitmap.png", 1, nullptr), nullptr);
    EXPECT_TRUE(menu.addBitmapOverflowLayer("layer.png")->isCornerAnchored());
    // A second bitmap replaces the first with its layers.
    menu.addBitmapOverflowItem("bitmap.png", 2, nullptr);
    EXPECT_EQ(menu.getOverflowBitmapItem()->getId(), 2);
}

} // namespace
