#include "FakeRender.h"

#include <tnUI/entity/Error.h>
#include <tnUI/markingmenus/MarkImageItem.h>

#include <memory>

namespace {

using namespace tnMarkTest;

class MarkItems : public MarkTest {
protected:
    // "ab": 20 x 16.
    std::unique_ptr<FakeTextItem> textAt(float x, float y)
    {
        return std::make_unique<FakeTextItem>("ab", "", 0, tnMarkPosition(x, y), nullptr, font);
    }
};

TEST_F(MarkItems, TextLabelsHangOutwardOfTheirAnchors)
{
    struct Case {
        float x, y;
        bool inList;
        const char* ref;
    };
    for (const Case& c : {
             Case{0.5f, 0.5f, false, "0.5 0.5"},    // near the centre: centred
             Case{1.0f, -1.0f, false, "1 -1"},      // on the limits: centred
             Case{1.5f, 0.0f, false, "11.5 0"},     // right half: extends right
             Case{-1.5f, 0.0f, false, "-11.5 0"},   // left half: extends left
             Case{0.0f, 40.0f, false, "0 32"},      // upper: hangs below the anchor
             Case{0.0f, -40.0f, false, "0 -32"},    // lower: sits above the anchor
             Case{-20.0f, -62.0f, true, "-10 -70"}, // list item: right and down
         }) {
        auto item = textAt(c.x, c.y);
        item->setInOverflow(c.inList);
        EXPECT_EQ(ref(*item), c.ref) << c.x << ", " << c.y;
    }
}

// A picture that does not load or differs in size from the normal one fails
// the load, which keeps nothing (the messages are checked with pop-up menus).
TEST_F(MarkItems, PicturesMustLoadAndMatch)
{
    for (const auto& [normal, highlighted, disabled] :
         {std::tuple("missing.png", "h.png", ""), std::tuple("n.png", "missing.png", ""),
          std::tuple("n.png", "h.png", "missing.png"), std::tuple("n.png", "wide.png", ""),
          std::tuple("n.png", "h.png", "wide.png")}) {
        tnMarkImageItem item(normal, highlighted, disabled, "", 0, tnMarkPosition(), nullptr);
        EXPECT_THROW(item.loadImages(), tnMarkBadImageException) << normal << " " << highlighted << " " << disabled;
        EXPECT_EQ(item.getCurrentImage(), nullptr);
    }
}

TEST_F(MarkItems, StatesChangeOnlyToOtherValidStates)
{
    auto item = textAt(0.0f, 0.0f);
    item->setDirty(false);
    for (int ignored : {0, 3, -1})
        item->setState(ignored);
    EXPECT_FALSE(item->isDirty());
    EXPECT_EQ(item->getState(), tnMarkItem::Normal);
    item->setState(tnMarkItem::Highlighted);
    EXPECT_TRUE(item->isDirty());

    // The box includes its edges, but never for a disabled item.
    EXPECT_TRUE(item->contains(10.0f, -8.0f));
    EXPECT_FALSE(item->contains(10.01f, 0.0f));
    item->setState(tnMarkItem::Disabled);
    EXPECT_FALSE(item->contains(0.0f, 0.0f));
    // An option box given to a disabled item starts disabled; it has one
    // owner.
    auto* box = new tnMarkOptionBoxItem("", 2, nullptr);
    item->setOptionBox(box);
    EXPECT_EQ(box->getState(), tnMarkItem::Disabled);
    EXPECT_THROW(textAt(0.0f, 0.0f)->setOptionBox(box), tnUI::ImplError);
    EXPECT_THROW(box->setOptionBox(box), tnUI::ImplError);

    // Without a factory there is no styled text.
    setStyledTextFactory(nullptr);
    EXPECT_EQ(textAt(0.0f, 0.0f)->getStyledText(), nullptr);
}

// Directions outside the compass and styles outside the four are ignored.
TEST(MarkPosition, InvalidDirectionsAndStylesAreIgnored)
{
    tnMarkPosition p(tnMarkPosition::West, 10.0f);
    for (int ignored : {16, 17, 18, -1})
        p.setMarkPosition(ignored, 99.0f);
    EXPECT_EQ(p, tnMarkPosition(tnMarkPosition::West, 10.0f));
    tnMarkFont font("Sans", 3, 10);
    font.setStyle(5);
    font.setStyle(-1);
    EXPECT_EQ(font, tnMarkFont("Sans", 3, 10));
    EXPECT_EQ(tnMarkFont("Sans", 9).getStyle(), 0);
}

} // namespace
