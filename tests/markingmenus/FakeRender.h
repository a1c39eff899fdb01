#pragma once

// Test doubles for the marking-menu model: a renderer recording list
// backgrounds, pictures and text of known sizes, text items measured by it.

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

// To a thousandth, so that single-precision noise such as -1e-6 reads 0.
inline std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(v * 1000.0) / 1000.0 + 0.0);
    return text;
}

inline std::string at(double x, double y)
{
    return num(x) + ' ' + num(y);
}

struct FakeImage : tnMarkImage {
    FakeImage(int width, int height) : width(width), height(height) {}
    int getWidth() const override { return width; }
    int getHeight() const override { return height; }
    const int width, height;
};

// The files the image factory loads, with their sizes.
inline tnMarkImage* fakeImageFactory(const tnString::IString& fileName)
{
    static const std::map<std::string, std::pair<int, int>> files = {
        {"n.png", {20, 10}}, {"h.png", {20, 10}}, {"wide.png", {21, 10}}};
    const auto found = files.find(utf8(fileName));
    return found == files.end() ? nullptr : new FakeImage(found->second.first, found->second.second);
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

// Records the list backgrounds it draws.
class FakeRender : public tnMarkRender {
public:
    void drawPointerLine(float, float, float, float) override {}
    void drawListBackground(const tnLinear::Point2& p, const tnLinear::Vector2& size) override
    {
        calls.push_back("list " + at(p.x, p.y) + ' ' + at(size.x, size.y));
    }
    void drawDefaultCenter() override {}
    void drawImage(tnMarkImage*, float, float) override {}
    void drawTextItem(tnMarkTextItem*, float, float) override {}
    void drawOptionBox(tnMarkOptionBoxItem*, float, float) override {}
    void translate(float, float) override {}

    std::vector<std::string> calls;
};

// As wide as its text unless a list imposes a width, 2 higher than its text.
class FakeTextItem : public tnMarkTextItem {
public:
    using tnMarkTextItem::tnMarkTextItem;
    float getWidth() const override
    {
        float width, height;
        getStyledText()->getExtent(width, height);
        return static_cast<int>(getMarkWidth() + 0.01f) != 0 ? getMarkWidth() : width;
    }
    float getHeight() const override
    {
        float width, height;
        getStyledText()->getExtent(width, height);
        return height + 2.0f;
    }
};

// Menus of text items measured by their styled text; the popup itself is
// the toolkit's.
template <class Base>
class TextMenu : public Base {
public:
    using Base::popup;
    void popup(float, float, int*, void**, bool) override {}

protected:
    tnMarkTextItem* createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                   const tnMarkPosition& anchor, void* data, const tnMarkFont& font) override
    {
        return new FakeTextItem(label, tooltip, id, anchor, data, font);
    }
};

using TestMenu = TextMenu<tnMarkMenu>;
using TestLinearMenu = TextMenu<tnMarkLinearMenu>;

// Installs the fake factories and the display phase around a test, then
// restores the state shared by all menus.
class MarkTest : public ::testing::Test {
public:
    MarkTest()
    {
        setImageFactory(&fakeImageFactory);
        setStyledTextFactory([](const tnString::IString& text, const tnMarkFont& font) -> tnMarkStyledText* {
            return new FakeStyledText(text, font);
        });
        tnMarkMenu::setGesturePhase(false);
    }
    ~MarkTest() override
    {
        TestMenu().setCenterImages("", "");
        tnMarkMenu::setGesturePhase(true);
        setImageFactory(nullptr);
        setStyledTextFactory(nullptr);
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

} // namespace tnMarkTest
