// Builds a radial marking menu and a linear menu hanging from it through a
// script decoded from the fuzzer's input, hovers at scripted pointer offsets
// (finite, huge, infinite and NaN coordinates, and directions at chosen
// angles and distances), changes settings and item states, and draws through
// a renderer that does nothing.
//
// After every hover the highlight must be consistent: at most one item in
// the highlighted state, it being the highlighted item; the selected item is
// the highlighted one when that is highlighted, else none. Where no item box
// holds the pointer and the pointer is outside the overflow list, the radial
// menu's highlighted item must be the one the direction rule of a reference
// model picks: among the items before the overflow list, the first whose
// reference point is strictly closest in angle to the pointer within the
// maximum angle, and only when the pointer lies strictly between the centre
// radius and the maximum radius. Cases within rounding of a boundary or of a
// tie are not judged. The linear menu highlights whatever item box holds the
// pointer.
//
// Strokes from the centre (huge and non-finite points among them) are read
// both ways the view can read a quick mark. With the original rule they are
// simplified to their corners and replayed: each corner hovers the menu it
// is in, and a corner on a submenu item carries on in the submenu, centred
// there. The simplified stroke must start at the stroke's first point, end
// at its last, and keep only stroke points, in order; the highlight rules
// above hold at every corner. The recogniser, finished or resting, must
// start its corners at the stroke's first point, read nothing from a stroke
// that never left the centre zone, and go from the menu only into the
// submenus of the items it chose, choosing only items of the menu each step
// is in; each choice highlighted keeps the highlight rules. Sanitizers
// catch the rest.

#include "FuzzInput.h"

#include <tnUI/markingmenus/MarkFont.h>
#include <tnUI/markingmenus/MarkItem.h>
#include <tnUI/markingmenus/MarkLinearMenu.h>
#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/MarkOptionBoxItem.h>
#include <tnUI/markingmenus/MarkPosition.h>
#include <tnUI/markingmenus/MarkRecogniser.h>
#include <tnUI/markingmenus/MarkRender.h>
#include <tnUI/markingmenus/MarkTextItem.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <QPainterPath>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace {

class Reader : public FuzzInput {
public:
    using FuzzInput::FuzzInput;
    float number()
    {
        static const float table[] = {0.0f,
                                      1.0f,
                                      -1.0f,
                                      10.0f,
                                      24.9f,
                                      25.0f,
                                      26.0f,
                                      40.0f,
                                      100.0f,
                                      249.0f,
                                      251.0f,
                                      -60.0f,
                                      1e30f,
                                      -1e30f,
                                      1e-30f,
                                      3e38f,
                                      -3e38f,
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(),
                                      std::numeric_limits<float>::quiet_NaN()};
        const std::uint8_t b = next();
        if (b >= 0xf0)
            return raw<float>();
        return table[b % std::size(table)];
    }
};

[[noreturn]] void fail(const char* what, int opIndex)
{
    std::fprintf(stderr, "markmenu_fuzzer: %s after operation %d\n", what, opIndex);
    __builtin_trap();
}

class NullRender : public tnMarkRender {
public:
    void drawPointerLine(float, float, float, float) override {}
    void drawListBackground(const tnLinear::Point2&, const tnLinear::Vector2&) override {}
    void drawDefaultCenter() override {}
    void drawImage(tnMarkImage*, float, float) override {}
    void drawTextItem(tnMarkTextItem*, float, float) override {}
    void drawOptionBox(tnMarkOptionBoxItem*, float, float) override {}
    void translate(float, float) override {}
};

// 8 units wide per character, 12 high.
class FixedText : public tnMarkStyledText {
public:
    using tnMarkStyledText::tnMarkStyledText;
    void getExtent(float& width, float& height) const override
    {
        width = 8.0f * static_cast<float>(getText().length());
        height = 12.0f;
    }
};

class FixedTooltip : public tnTooltip {
public:
    using tnTooltip::tnTooltip;
    void getSize(float& width, float& height) const override
    {
        width = 6.0f * static_cast<float>(getText().length());
        height = 18.0f;
    }
    void getScreenBounds(const tnLinear::Point2&, tnLinear::Range2d& bounds) const override
    {
        bounds.set({0.0, 0.0}, {1920.0, 1080.0});
    }
};

class TextItem : public tnMarkTextItem {
public:
    using tnMarkTextItem::tnMarkTextItem;
    float getWidth() const override
    {
        return getMarkWidth() > 0.0f ? getMarkWidth() : 8.0f * static_cast<float>(getLabel().length());
    }
    float getHeight() const override { return 14.0f; }
};

template <class Base>
class Menu : public Base {
public:
    using Base::popup;
    void popup(float /*x*/, float /*y*/, int* id, void** data, bool /*flag*/) override
    {
        *id = -1;
        *data = nullptr;
    }

protected:
    tnMarkTextItem* createTextItem(const tnString::IString& label, const tnString::IString& tooltip, int id,
                                   const tnMarkPosition& anchor, void* data, const tnMarkFont& font) override
    {
        return new TextItem(label, tooltip, id, anchor, data, font);
    }
};

const char* const labels[] = {"A", "Open", "Save as", "Close all windows", ""};

// The item the model's radial direction rule picks (null for none); nothing
// when the case is too close to a boundary or a tie to judge.
std::optional<const tnMarkItem*> modelDirection(const tnMarkMenu& menu, float dx, float dy)
{
    const double d = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
    const double centre = menu.getCenterRadius();
    const double far = menu.getMaxRadius();
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-3 * (1.0 + std::fabs(b)); };
    if (std::isnan(d) || std::isinf(d) || near(d, centre) || near(d, far) || !std::isfinite(centre) ||
        !std::isfinite(far))
        return std::nullopt;
    const double pointer = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
    const double limit = menu.getMaxAngle();
    const std::vector<tnMarkItem*>& items = menu.getItems();
    const std::size_t end =
        menu.getFirstOverflowIndex() < 0 ? items.size() : static_cast<std::size_t>(menu.getFirstOverflowIndex());
    const tnMarkItem* best = nullptr;
    double bestDiff = limit;
    double second = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < end; ++i) {
        tnMarkPosition p;
        items[i]->getReferencePoint(p);
        double diff = std::fabs(std::atan2(static_cast<double>(p.getY()), static_cast<double>(p.getX())) - pointer);
        if (diff >= std::numbers::pi)
            diff = 2 * std::numbers::pi - diff;
        if (diff < bestDiff) {
            second = std::min(second, bestDiff);
            best = items[i];
            bestDiff = diff;
        } else {
            second = std::min(second, diff);
        }
    }
    if (std::fabs(second - bestDiff) < 1e-4 || std::fabs(bestDiff - limit) < 1e-4 || !std::isfinite(limit))
        return std::nullopt;
    if (!(centre < d && d < far))
        return nullptr;
    return best;
}

void checkHighlight(const tnMarkMenu& menu, int opIndex)
{
    const tnMarkItem* h = menu.getHighlightedItem();
    int highlighted = 0;
    for (const tnMarkItem* item : menu.getItems()) {
        if (item->getState() == 2) {
            ++highlighted;
            if (item != h)
                fail("an item other than the highlighted one is in the highlighted state", opIndex);
        }
    }
    if (highlighted > 1)
        fail("two items are highlighted", opIndex);
    const tnMarkItem* selected = menu.getSelectedItem();
    if (selected != (h && h->getState() == 2 ? h : nullptr))
        fail("the selected item is not the highlighted one", opIndex);
}

void checkSimplified(const QPainterPath& stroke, const QPainterPath& simple, int opIndex)
{
    // A path drops a line to the point it is at, so a stroke that never left
    // its first point simplifies to that point alone.
    if (simple.elementCount() < 1 || QPointF(simple.elementAt(0)) != QPointF(stroke.elementAt(0)) ||
        simple.currentPosition() != stroke.currentPosition())
        fail("the simplified stroke does not run from the stroke's first point to its last", opIndex);
    // Each corner is a later point of the stroke than the one before it.
    int next = 1;
    for (int i = 1; i + 1 < simple.elementCount(); ++i) {
        const QPointF corner = simple.elementAt(i);
        while (next < stroke.elementCount() && QPointF(stroke.elementAt(next)) != corner)
            ++next;
        if (next == stroke.elementCount())
            fail("a corner of the simplified stroke is no point of the stroke, or out of order", opIndex);
        ++next;
    }
}

// Reads the stroke with the recogniser, finished and resting, and
// highlights what it chose.
void checkRecognised(const QPainterPath& path, tnMarkMenu& radial, int opIndex)
{
    std::vector<tnMarkStrokePoint> stroke;
    bool leftCentre = false;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPointF p = path.elementAt(i);
        stroke.push_back({p.x(), p.y(), static_cast<double>(i)});
        if (std::isfinite(p.x()) && std::isfinite(p.y()) && std::fabs(p.x()) <= 1e12 && std::fabs(p.y()) <= 1e12 &&
            !(std::hypot(p.x(), p.y()) <= radial.getCenterRadius()))
            leftCentre = true;
    }
    for (const bool finished : {true, false}) {
        const tnMarkRecogniser::Mark mark = tnMarkRecogniser::recognise(stroke, radial, finished);
        if (mark.corners.empty() || mark.corners.front() != tnLinear::Point2(0, 0))
            fail("the recognised corners do not start at the stroke's first point", opIndex);
        if (!leftCentre && !mark.steps.empty())
            fail("a stroke that never left the centre zone was read", opIndex);
        const tnMarkMenu* expected = &radial;
        for (const tnMarkRecogniser::Step& step : mark.steps) {
            if (step.menu != expected)
                fail("the recogniser went into a menu no chosen item opens", opIndex);
            const std::vector<tnMarkItem*>& items = step.menu->getItems();
            if (step.item && std::find(items.begin(), items.end(), step.item) == items.end())
                fail("the recogniser chose an item of another menu", opIndex);
            const tnMarkMenuItem* item = step.item ? step.item->asMenuItem() : nullptr;
            expected = item ? item->getSubmenu() : nullptr;
            step.menu->highlightItem(step.item);
            checkHighlight(*step.menu, opIndex);
        }
    }
}

// Replays a stroke's corners through the menus, as the view's original rule
// does when the pointer rests or is released before the items show.
void replayStroke(Reader& in, tnMarkMenu& radial, int opIndex)
{
    QPainterPath stroke(QPointF(0, 0));
    const int points = in.next() % 24;
    for (int i = 0; i < points; ++i)
        stroke.lineTo(in.number(), in.number());
    const QPainterPath simple = QmarkMenuView::simplifyStroke(stroke, radial.getCenterRadius());
    checkSimplified(stroke, simple, opIndex);
    tnMarkMenu* menu = &radial;
    QPointF center(0, 0);
    for (int i = 0; i < simple.elementCount(); ++i) {
        const QPointF corner = simple.elementAt(i);
        menu->hover(static_cast<float>(corner.x() - center.x()), static_cast<float>(corner.y() - center.y()), false);
        checkHighlight(*menu, opIndex);
        const auto* item = dynamic_cast<const tnMarkMenuItem*>(menu->getHighlightedItem());
        if (menu == &radial && item && item->getSubmenu()) {
            menu = item->getSubmenu();
            center = corner;
        }
    }
    checkRecognised(stroke, radial, opIndex);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    setStyledTextFactory([](const tnString::IString& text, const tnMarkFont& font) -> tnMarkStyledText* {
        return new FixedText(text, font);
    });
    setTooltipFactory([](const tnString::IString& text) -> tnTooltip* { return new FixedTooltip(text); });
    tnMarkMenu::setGesturePhase(false);
    // Qt warns about every non-finite point a stroke refuses.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    Reader in(data, size);
    const tnMarkFont font("Sans", 0, 12);
    Menu<tnMarkMenu> radial;
    Menu<tnMarkLinearMenu> list;
    NullRender render;

    // The menus' items.
    const int count = in.next() % 12;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = in.next();
        const char* label = labels[b % std::size(labels)];
        switch ((b >> 3) % 8) {
        case 0: radial.addOverflowItem(label, "tip", i, font, nullptr); break;
        case 1: radial.addOptionBox(100 + i, "box", nullptr); break;
        case 2: radial.addSeparator(); break;
        case 3: list.addItem(label, "tip", i, font, nullptr); break;
        case 4: radial.addSubmenuTextItem(label, "", &list, in.next() % 19, font, nullptr); break;
        default: radial.addTextItem(label, "tip", i, in.next() % 19, font, nullptr); break;
        }
    }
    list.setParentMenu(&radial);
    list.setParentOffset(in.number(), in.number());

    for (int opIndex = 0; opIndex < 64 && !in.done(); ++opIndex) {
        const std::uint8_t op = in.next();
        switch (op % 10) {
        case 0: radial.setCenterRadius(in.number()); break;
        case 1: radial.setMaxRadius(in.number()); break;
        case 2: radial.setMaxAngle(in.number()); break;
        case 3: {
            tnMarkItem* item = radial.itemAt(in.next() % 16);
            if (item)
                item->setState(in.next() % 3 == 0 ? 1 : 0);
            break;
        }
        case 4:
            if ((op & 0x10) != 0)
                radial.hideItems();
            else
                radial.showItems();
            break;
        case 5: {
            radial.draw(render, true);
            list.draw(render, true);
            float right, bottom, left, top;
            radial.getExtents(right, bottom, left, top);
            list.getExtents(right, bottom, left, top);
            (void)radial.getOverflowWidth();
            (void)list.getListWidth();
            break;
        }
        case 6: replayStroke(in, radial, opIndex); break;
        default: {
            // A hover, at a point or in a direction.
            float dx, dy;
            if ((op & 0x80) != 0) {
                const double angle = in.next() * (2 * std::numbers::pi / 256.0);
                const float distance = in.number();
                dx = static_cast<float>(std::cos(angle) * distance);
                dy = static_cast<float>(std::sin(angle) * distance);
            } else {
                dx = in.number();
                dy = in.number();
            }
            const bool force = (op & 0x40) != 0;
            if ((op & 0x20) != 0) {
                list.hover(dx, dy, force);
                checkHighlight(list, opIndex);
                if (list.getHighlightedItem() != list.itemAtPoint(dx, dy))
                    fail("the list highlights another item than the one under the pointer", opIndex);
                (void)list.isOverParentCenter(dx, dy);
                break;
            }
            radial.hover(dx, dy, force);
            checkHighlight(radial, opIndex);
            if (radial.areItemsVisible() && !force && !radial.isInOverflowList() && !radial.itemAtPoint(dx, dy)) {
                const std::optional<const tnMarkItem*> expected = modelDirection(radial, dx, dy);
                if (expected && radial.getHighlightedItem() != *expected) {
                    std::fprintf(stderr,
                                 "markmenu_fuzzer: pointer (%g, %g), radii %g %g, angle %g: item %d, model %d\n", dx,
                                 dy, radial.getCenterRadius(), radial.getMaxRadius(), radial.getMaxAngle(),
                                 radial.getHighlightedItem() ? radial.getHighlightedItem()->getId() : -1,
                                 *expected ? (*expected)->getId() : -1);
                    fail("the highlighted item is not the one the direction rule picks", opIndex);
                }
            }
            break;
        }
        }
    }
    list.setParentMenu(nullptr);
    setStyledTextFactory(nullptr);
    setTooltipFactory(nullptr);
    return 0;
}
