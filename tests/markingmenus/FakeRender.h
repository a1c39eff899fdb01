#pragma once

// Test doubles for the marking-menu model: a renderer recording its calls,
// pictures, styled text and tooltips of known sizes made by test factories, a
// text item measured from its styled text, and menus whose popup rests the
// pointer at a scripted offset.

#include <tnUI/markingmenus/MarkLinearMenu.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/MarkOptionBoxItem.h>
#include <tnUI/markingmenus/MarkRender.h>
#include <tnUI/markingmenus/MarkTextItem.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace tnMarkTest {

inline std::string utf8(const tnString::IString& s)
{
    return s.asUTF8().asChar();
}

// A coordinate to a thousandth, so that single-precision noise such as
// North's x of -1e-6 reads as 0.
inline std::string num(double v)
{
    const double rounded = std::round(v * 1000.0) / 1000.0;
    char text[32];
    std::snprintf(text, sizeof text, "%g", rounded == 0.0 ? 0.0 : rounded);
    return text;
}

inline std::string at(double x, double y)
{
    return num(x) + ' ' + num(y);
}

struct FakeImage : tnMarkImage {
    FakeImage(std::string name, int width, int height) : name(std::move(name)), width(width), height(height) {}
    int getWidth() const override { return width; }
    int getHeight() const override { return height; }

    const std::string name;
    const int width, height;
};

// The files the image factory loads, with their sizes.
inline const std::map<std::string, std::pair<int, int>> imageFiles = {
    {"n.png", {20, 10}}, {"h.png", {20, 10}},  {"d.png", {20, 10}},      {"wide.png", {21, 10}}, {"tall.png", {20, 11}},
    {"c.png", {12, 12}}, {"hc.png", {14, 14}}, {"bitmap.png", {40, 20}}, {"layer.png", {8, 8}},  {"t20.png", {30, 15}}};

inline tnMarkImage* fakeImageFactory(const tnString::IString& fileName)
{
    const auto found = imageFiles.find(utf8(fileName));
    return found == imageFiles.end() ? nullptr : new FakeImage(found->first, found->second.first, found->second.second);
}

// 10 units wide per character, 14 high.
class FakeStyledText : public tnMarkStyledText {
public:
    using tnMarkStyledText::tnMarkStyledText;
    void getExtent(float& width, float& height) const override
    {
        width = 10.0f * static_cast<float>(getText().length());
        height = 14.0f;
    }
};

class FakeRender : public tnMarkRender {
public:
    void drawPointerLine(float x1, float y1, float x2, float y2) override
    {
        calls.push_back("line " + at(x1, y1) + ' ' + at(x2, y2));
    }
    void drawListBackground(const tnLinear::Point2& topLeft, const tnLinear::Vector2& size) override
    {
        calls.push_back("list " + at(topLeft.x, topLeft.y) + ' ' + at(size.x, size.y));
    }
    void drawDefaultCenter() override { calls.emplace_back("center"); }
    void drawImage(tnMarkImage* image, float x, float y) override
    {
        calls.push_back("image " + static_cast<FakeImage*>(image)->name + ' ' + at(x, y));
    }
    void drawTextItem(tnMarkTextItem* item, float x, float y) override
    {
        calls.push_back("text " + utf8(item->getLabel()) + ' ' + at(x, y));
    }
    void drawOptionBox(tnMarkOptionBoxItem* box, float x, float y) override
    {
        calls.push_back("box " + at(x, y) + " state " + std::to_string(box->getDrawingState()));
    }
    void translate(float dx, float dy) override { calls.push_back("translate " + at(dx, dy)); }

    std::vector<std::string> calls;
};

class FakeTooltip : public tnTooltip {
public:
    using tnTooltip::tnTooltip;
    void getSize(float& width, float& height) const override
    {
        width = 7.0f * static_cast<float>(getText().length());
        height = 20.0f;
    }
    void draw(tnMarkRender& render, const tnLinear::Range2d& box) override
    {
        static_cast<FakeRender&>(render).calls.push_back("tooltip " + utf8(getText()) + ' ' +
                                                         at(box.getMin().x, box.getMin().y) + ' ' +
                                                         at(box.getMax().x, box.getMax().y));
    }
    void getScreenBounds(const tnLinear::Point2& /*p*/, tnLinear::Range2d& bounds) const override
    {
        bounds.set({0.0, 0.0}, {1920.0, 1080.0});
    }
};

// As wide as its text unless a list imposes a width, 2 higher than its text.
class FakeTextItem : public tnMarkTextItem {
public:
    using tnMarkTextItem::tnMarkTextItem;
    float getWidth() const override
    {
        return static_cast<int>(getMarkWidth() + 0.01f) != 0 ? getMarkWidth() : extent().first;
    }
    float getHeight() const override { return extent().second + 2.0f; }
    void refreshHook(tnMarkRender& render) override
    {
        static_cast<FakeRender&>(render).calls.push_back("refresh " + utf8(getLabel()));
    }

private:
    std::pair<float, float> extent() const
    {
        std::pair<float, float> size;
        getStyledText()->getExtent(size.first, size.second);
        return size;
    }
};

template <class Base>
class ScriptedMenu : public Base {
public:
    using Base::popup;

    void popup(float /*x*/, float /*y*/, int* id, void** data, bool /*flag*/) override
    {
        this->showItems();
        this->hover(pointerX, pointerY, false);
        tnMarkItem* chosen = this->getSelectedItem();
        *id = chosen ? chosen->getId() : -1;
        *data = chosen ? chosen->getData() : nullptr;
    }
    void itemHovered(tnMarkItem* item) override { hovered.push_back(item); }

    float pointerX = 0.0f;
    float pointerY = 0.0f;
    std::vector<tnMarkItem*> hovered;
    // Whether the platform offers bitmaps (loaded like pictures).
    bool bitmapsAvailable = false;

protected:
    tnMarkTextItem* createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                   const tnMarkPosition& anchor, void* data, const tnMarkFont& font) override
    {
        return new FakeTextItem(label, tooltip, id, anchor, data, font);
    }
    tnMarkImage* loadOverflowBitmap(const tnString::IString& bitmapName) override
    {
        return bitmapsAvailable ? fakeImageFactory(bitmapName) : Base::loadOverflowBitmap(bitmapName);
    }
};

using TestMenu = ScriptedMenu<tnMarkMenu>;
using TestLinearMenu = ScriptedMenu<tnMarkLinearMenu>;

// Installs the fake factories and the display phase around a test (and the
// derived fixture's members), then restores the state shared by all menus.
class MarkTest : public ::testing::Test {
public:
    MarkTest()
    {
        setImageFactory(&fakeImageFactory);
        setStyledTextFactory([](const tnString::IString& text, const tnMarkFont& font) -> tnMarkStyledText* {
            return new FakeStyledText(text, font);
        });
        setTooltipFactory([](const tnString::IString& text) -> tnTooltip* { return new FakeTooltip(text); });
        tnMarkMenu::setGesturePhase(false);
    }
    ~MarkTest() override
    {
        TestMenu().setCenterImages("", "");
        tnMarkMenu::setGesturePhase(true);
        setImageFactory(nullptr);
        setStyledTextFactory(nullptr);
        setTooltipFactory(nullptr);
    }

protected:
    tnMarkMenuItem* addText(tnMarkMenu& m, const char* label, int markPosition, int id = 0)
    {
        return m.addTextItem(label, "", id, markPosition, font, nullptr);
    }
    tnMarkMenuItem* add(const char* label, int markPosition, int id = 0)
    {
        return addText(menu, label, markPosition, id);
    }

    const tnMarkFont font{"Sans", 0, 12};
    TestMenu menu;
};

// An item's reference point as "x y".
inline std::string ref(const tnMarkItem& item)
{
    tnMarkPosition point;
    item.getReferencePoint(point);
    return at(point.getX(), point.getY());
}

// The pointer offset at that angle (degrees from East) and distance.
inline tnLinear::Point2 towards(double degrees, double distance)
{
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    return {std::cos(radians) * distance, std::sin(radians) * distance};
}

} // namespace tnMarkTest
