#include "FakeRender.h"

#include <tnUI/entity/Error.h>

namespace {

using namespace tnMarkTest;

class MarkLinear : public MarkTest {
protected:
    tnMarkMenuItem* add(const char* label, int id = 0) { return list.addItem(label, "", id, font, nullptr); }

    TestLinearMenu list;
};

TEST_F(MarkLinear, ItemsStackDownwardWithGaps)
{
    EXPECT_EQ(std::pair(list.getCenterRadius(), list.getRadius()), std::pair(0.0f, 0.0f));
    EXPECT_EQ(add("a")->getPosition(), tnMarkPosition(0.0f, 0.0f));
    EXPECT_EQ(add("abc")->getPosition(), tnMarkPosition(0.0f, -18.0f));
    const tnMarkMenuItem* third = add("ab");
    EXPECT_EQ(third->getPosition(), tnMarkPosition(0.0f, -36.0f));
    EXPECT_TRUE(third->isInOverflow());
    EXPECT_EQ(list.getListHeight(), 54.0f);

    TestLinearMenu separated;
    separated.addItem("a", "", 0, font, nullptr);
    separated.addSeparator();
    const float y = separated.addItem("b", "", 0, font, nullptr)->getPosition().getY();
    EXPECT_EQ(std::pair(y, separated.getListHeight()), std::pair(-20.0f, 38.0f));
}

TEST_F(MarkLinear, ListWidthIsTheWidestItemImposedOnAll)
{
    add("a");
    add("abc");
    tnMarkMenuItem* narrow = add("ab");
    EXPECT_EQ(list.getListHeight(), 54.0f);
    // Before measuring, the right part of the row is not the item's.
    EXPECT_EQ(list.itemAtPoint(25.0f, -40.0f), nullptr);
    EXPECT_EQ(list.getListWidth(), 30.0f); // measuring imposes the width
    EXPECT_EQ(narrow->getMarkWidth(), 30.0f);
    EXPECT_EQ(list.itemAtPoint(25.0f, -40.0f), narrow);
    // The measures are kept once taken.
    add("abcdefgh");
    EXPECT_EQ(std::pair(list.getListWidth(), list.getListHeight()), std::pair(30.0f, 54.0f));

    FakeRender render;
    list.drawCenter(render);
    EXPECT_EQ(render.calls, std::vector<std::string>{"list 0 0 30 54"});
}

TEST_F(MarkLinear, PointingChoosesAndTheGapChoosesNothing)
{
    tnMarkMenuItem* first = add("ab", 1);
    tnMarkMenuItem* second = add("ab", 2);
    EXPECT_TRUE(list.hover(5.0f, -16.0f, false));
    EXPECT_EQ(first->getState(), tnMarkItem::Highlighted);
    EXPECT_FALSE(list.hover(5.0f, -10.0f, false));
    EXPECT_TRUE(list.hover(5.0f, -17.0f, false));
    EXPECT_EQ(list.getHighlightedItem(), nullptr);
    EXPECT_EQ(first->getState(), tnMarkItem::Normal);
    EXPECT_TRUE(list.hover(5.0f, -18.0f, false));
    EXPECT_EQ(list.getHighlightedItem(), second);
    // No choice by direction.
    list.hover(500.0f, -17.0f, false);
    EXPECT_EQ(list.getHighlightedItem(), nullptr);

    list.pointerX = 5.0f;
    list.pointerY = -20.0f;
    EXPECT_EQ(list.popup(0.0f, 0.0f, false), 2);
    second->setState(tnMarkItem::Disabled);
    EXPECT_EQ(list.popup(0.0f, 0.0f, false), -1);
}

TEST_F(MarkLinear, AddingOperations)
{
    EXPECT_EQ(list.addImageItem("n.png", "h.png", "", "", 1, nullptr), nullptr);
    EXPECT_EQ(list.addSubmenuImageItem("n.png", "h.png", "", &list), nullptr);
    EXPECT_EQ(list.getNumItems(), 0);

    TestLinearMenu submenu;
    tnMarkMenuItem* item = list.addSubmenuItem("more", "", &submenu, font, nullptr);
    EXPECT_TRUE(item->getId() == 0 && submenu.getParentItem() == item);

    auto* appended = new FakeTextItem("x", "", 5, tnMarkPosition(0.0f, -100.0f), nullptr, font);
    EXPECT_TRUE(list.appendItem(appended)->isInOverflow());
    EXPECT_THROW(list.appendItem(nullptr), tnUI::NullError);
    EXPECT_THROW(list.appendItem(appended), tnUI::DuplicateError);
}

class MarkLinearParent : public MarkLinear {
protected:
    // A radial parent whose East "abcdef" (x 30..90, y -8..8) opens the list
    // from its top-right corner, with Southeast "abcdef" below it. The list
    // spans x 0..30 and y -34..0.
    MarkLinearParent()
    {
        parentItem = parent.addSubmenuTextItem("abcdef", "", &list, tnMarkPosition::East, font, nullptr);
        other = addText(parent, "abcdef", tnMarkPosition::Southeast);
        list.setParentMenu(&parent);
        list.setParentOffset(-90.0f, -8.0f);
        add("abc");
        add("abc");
    }

    TestMenu parent;
    tnMarkMenuItem* parentItem = nullptr;
    tnMarkMenuItem* other = nullptr;
};

TEST_F(MarkLinearParent, StrayingUpToTenUnitsKeepsTheList)
{
    for (const tnLinear::Point2& p : {tnLinear::Point2(39, -10), tnLinear::Point2(-9, -20), tnLinear::Point2(40, 10)})
        EXPECT_FALSE(list.isOverParentCenter(static_cast<float>(p.x), static_cast<float>(p.y))) << p.x;
    EXPECT_EQ(parent.getHighlightedItem(), nullptr);
}

TEST_F(MarkLinearParent, PointingElsewhereInTheParentReturnsToIt)
{
    EXPECT_TRUE(list.isOverParentCenter(-11.0f, -20.0f));
    EXPECT_EQ(parent.getHighlightedItem(), other);
    EXPECT_TRUE(list.isOverParentCenter(41.0f, -10.0f));
    EXPECT_EQ(parent.getHighlightedItem(), nullptr);

    // Over the item that opened the list the parent decides: without a
    // parent of its own it keeps the list, near its own parent's centre not.
    EXPECT_FALSE(list.isOverParentCenter(-11.0f, -5.0f));
    EXPECT_EQ(parent.getHighlightedItem(), parentItem);
    TestMenu grandparent;
    parent.setParentMenu(&grandparent);
    parent.setParentOffset(100.0f, 0.0f);
    EXPECT_TRUE(list.isOverParentCenter(-11.0f, -5.0f));
    EXPECT_FALSE(list.isOverParentCenter(-25.0f, -5.0f));
}

TEST(MarkRadialParent, ParentCentreIsItsCentreZone)
{
    TestMenu parent;
    TestMenu child;
    EXPECT_FALSE(child.isOverParentCenter(0.0f, 0.0f));
    child.setParentMenu(&parent);
    child.setParentOffset(-30.0f, 40.0f);
    EXPECT_TRUE(child.isOverParentCenter(-30.0f, 65.0f));
    EXPECT_FALSE(child.isOverParentCenter(-30.0f, 65.5f));
}

} // namespace
