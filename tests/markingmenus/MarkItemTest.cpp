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
    std::unique_ptr<tnMarkImageItem> image(const char* normal, const char* highlighted, const char* disabled,
                                           const tnMarkPosition& anchor = tnMarkPosition(0, 30.0f))
    {
        auto item = std::make_unique<tnMarkImageItem>(normal, highlighted, disabled, "", 0, anchor, nullptr);
        item->loadImages();
        return item;
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
    // Pictures of 25 x 15 anchored at a corner are pushed by half diagonally.
    for (const Case& c : {Case{10.0f, 10.0f, false, "22.5 17.5"}, Case{-10.0f, -10.0f, false, "-22.5 -17.5"},
                          Case{0.0f, 0.0f, false, "12.5 -7.5"}}) {
        auto item = image("n.png", "h.png", "", tnMarkPosition(c.x, c.y));
        item->setCornerAnchored(true);
        EXPECT_EQ(ref(*item), c.ref) << c.x << ", " << c.y;
    }
}

TEST_F(MarkItems, WithoutFactoriesThereIsNoStyledTextOrTooltip)
{
    setStyledTextFactory(nullptr);
    setTooltipFactory(nullptr);
    auto item = textAt(0.0f, 0.0f);
    EXPECT_EQ(std::pair(item->getStyledText(), item->getToolTip()), (std::pair<tnMarkStyledText*, tnTooltip*>()));
}

TEST_F(MarkItems, ImageSizeFollowsTheCurrentPicture)
{
    auto item = image("n.png", "h.png", "d.png");
    EXPECT_EQ(std::pair(item->getWidth(), item->getHeight()), std::pair(25.0f, 15.0f));
    item->setState(tnMarkItem::Disabled);
    EXPECT_EQ(static_cast<FakeImage*>(item->getCurrentImage())->name, "d.png");

    // Without a disabled picture a disabled item shows and measures nothing.
    auto plain = image("n.png", "h.png", "");
    plain->setState(tnMarkItem::Disabled);
    EXPECT_EQ(std::pair(plain->getWidth(), plain->getHeight()), std::pair(0.0f, 0.0f));
    FakeRender render;
    plain->draw(render);
    plain->drawAt(1.0f, 2.0f, render);
    EXPECT_EQ(render.calls, std::vector<std::string>{"image h.png 1 2"});
}

TEST_F(MarkItems, PicturesMustLoadAndMatch)
{
    const std::string loadError = "Error loading image for Marking Menu item";
    const std::string sizeError = "Error - marking menu image items should have the same dimensions for all its images";
    struct Case {
        const char* normal;
        const char* highlighted;
        const char* disabled;
        const std::string& message;
    };
    for (const Case& c : {Case{"missing.png", "h.png", "", loadError}, Case{"n.png", "missing.png", "", loadError},
                          Case{"n.png", "h.png", "missing.png", loadError}, Case{"n.png", "wide.png", "", sizeError},
                          Case{"n.png", "tall.png", "", sizeError}, Case{"n.png", "h.png", "wide.png", sizeError}}) {
        SCOPED_TRACE(std::string(c.normal) + ' ' + c.highlighted + ' ' + c.disabled);
        tnMarkImageItem item(c.normal, c.highlighted, c.disabled, "", 0, tnMarkPosition(), nullptr);
        try {
            item.loadImages();
            ADD_FAILURE() << "loaded";
        } catch (const tnMarkBadImageException& e) {
            EXPECT_EQ(utf8(e.getMessage()), c.message);
        }
        // Nothing of a failed load is kept.
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
}

TEST_F(MarkItems, OptionBoxIsASquareAtTheRightEndOfItsOwner)
{
    // An item 35 x 20 at x 30..65.
    auto owner = image("t20.png", "t20.png", "");
    auto* box = new tnMarkOptionBoxItem("", 3, nullptr);
    owner->setOptionBox(box);
    FakeRender render;
    box->draw(render);
    EXPECT_EQ(box->getBox(), tnLinear::Range2d({45.0, -10.0}, {65.0, 10.0}));
    // Placed once: it stays when its owner moves.
    owner->setPosition(tnMarkPosition(0, 100.0f));
    box->draw(render);
    EXPECT_EQ(render.calls, std::vector<std::string>(2, "box 55 0 state 0"));
}

TEST_F(MarkItems, OptionBoxFollowsItsOwnersState)
{
    auto owner = textAt(30.0f, 0.0f);
    auto* box = new tnMarkOptionBoxItem("", 1, nullptr);
    owner->setOptionBox(box);
    // Entering and leaving the disabled state pass on; other changes do not.
    using B = tnMarkOptionBoxItem;
    const std::pair<tnMarkItem*, int> steps[] = {{owner.get(), B::Highlighted}, {box, B::Highlighted},
                                                 {owner.get(), B::Disabled},    {owner.get(), B::Highlighted},
                                                 {owner.get(), B::Normal},      {box, B::Normal}};
    std::vector<int> drawn;
    for (const auto& [item, state] : steps) {
        item->setState(state);
        drawn.push_back(box->getDrawingState());
    }
    EXPECT_EQ(drawn, (std::vector<int>{B::DrawOwnerHighlighted, B::DrawHighlighted, B::DrawDisabled, B::DrawHighlighted,
                                       B::DrawHighlighted, B::DrawNormal}));

    // A box given to a disabled item starts disabled; a box has one owner.
    owner->setState(tnMarkItem::Disabled);
    auto* second = new tnMarkOptionBoxItem("", 2, nullptr);
    owner->setOptionBox(second);
    EXPECT_EQ(second->getState(), tnMarkItem::Disabled);
    EXPECT_THROW(textAt(0.0f, 0.0f)->setOptionBox(second), tnUI::ImplError);
    EXPECT_THROW(second->setOptionBox(second), tnUI::ImplError);
}

} // namespace
