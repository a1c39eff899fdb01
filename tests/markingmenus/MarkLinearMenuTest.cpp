#include "FakeRender.h"

#include <tnUI/entity/Error.h>

namespace {

using namespace tnMarkTest;

class MarkLinear : public MarkTest {
protected:
    tnMarkMenuItem* add(const char* label, int id = 0) { return list.addItem(label, "", id, font, nullptr); }

    TestLinearMenu list;
};

TEST_F(MarkLinear, ItemsStackDownwardAtTheWidthOfTheWidest)
{
    EXPECT_EQ(std::pair(list.getCenterRadius(), list.getRadius()), std::pair(0.0f, 0.0f));
    EXPECT_EQ(add("a")->getPosition(), tnMarkPosition(0.0f, 0.0f));
    EXPECT_EQ(add("abc")->getPosition(), tnMarkPosition(0.0f, -18.0f));
    tnMarkMenuItem* narrow = add("ab");
    EXPECT_EQ(narrow->getPosition(), tnMarkPosition(0.0f, -36.0f));
    EXPECT_TRUE(narrow->isInOverflow());
    // Before measuring, the right part of the row is not the item's; the
    // measures, once taken, impose the width and are kept.
    EXPECT_EQ(list.itemAtPoint(25.0f, -40.0f), nullptr);
    EXPECT_EQ(std::pair(list.getListWidth(), list.getListHeight()), std::pair(30.0f, 54.0f));
    EXPECT_EQ(list.itemAtPoint(25.0f, -40.0f), narrow);
    add("abcdefgh");
    EXPECT_EQ(std::pair(list.getListWidth(), list.getListHeight()), std::pair(30.0f, 54.0f));
    FakeRender render;
    list.drawCenter(render);
    EXPECT_EQ(render.calls, std::vector<std::string>{"list 0 0 30 54"});
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

// A list (x 0..30, y -34..0) opened from the corner of its parent's East item
// (x 30..90, y -8..8), Southeast below it. Straying up to ten units keeps the
// list; pointing elsewhere in the parent returns to it, where it decides.
TEST_F(MarkLinear, LeavingForTheParent)
{
    TestMenu parent;
    tnMarkMenuItem* opener = parent.addSubmenuTextItem("abcdef", "", &list, tnMarkPosition::East, font, nullptr);
    tnMarkMenuItem* other = addText(parent, "abcdef", tnMarkPosition::Southeast);
    list.setParentMenu(&parent);
    list.setParentOffset(-90.0f, -8.0f);
    add("abc");
    add("abc");
    const struct {
        float x, y;
        bool left;
        tnMarkItem* highlighted;
    } rows[] = {
        {39, -10, false, nullptr},
        {-9, -20, false, nullptr},
        {40, 10, false, nullptr},
        {-11, -20, true, other},
        {41, -10, true, nullptr},
        // Over the item that opened the list: without a parent of its own
        // the parent keeps the list.
        {-11, -5, false, opener},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(list.isOverParentCenter(row.x, row.y), row.left) << row.x << ", " << row.y;
        EXPECT_EQ(parent.getHighlightedItem(), row.highlighted) << row.x << ", " << row.y;
    }
    // Near its own parent's centre it does not.
    TestMenu grandparent;
    parent.setParentMenu(&grandparent);
    parent.setParentOffset(100.0f, 0.0f);
    EXPECT_TRUE(list.isOverParentCenter(-11.0f, -5.0f));
    EXPECT_FALSE(list.isOverParentCenter(-25.0f, -5.0f));
}

} // namespace
