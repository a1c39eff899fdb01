// A full repaint of a displayed radial marking menu with Qt, as the view's
// paint does it: parents, centre, overflow list, items with their option box,
// the pointer line and the highlighted item's tooltip, into an offscreen image.
// Beside it, the repaint of one pointer move, which the view limits to the
// region the pointer line left and entered.

#include "BenchSupport.h"
#include "GuiApp.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>
#include <tnUI/markingmenus/qt/QmarkTooltip.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <string>

namespace tnBench {
namespace {

// Eight items around the centre (one with a submenu, one disabled, one
// checked, one with an option box) and `overflow` list items after a
// separator, the one to the north-east highlighted.
struct DisplayedMenu {
    explicit DisplayedMenu(int overflow)
    {
        const tnMarkFont font(QApplication::font().family().toStdWString(), 0, 10);
        submenu->addTextItem("Circle", "", 20, tnMarkPosition::North, font, nullptr);
        menu->setAlwaysShowCenter(true);
        menu->setRadius(50.0f);
        menu->addTextItem("Select", "Select objects", 1, tnMarkPosition::North, font, nullptr);
        menu->addTextItem("Move", "Move the selection", 2, tnMarkPosition::Northeast, font, nullptr);
        menu->addOptionBox(12, "Move settings", nullptr);
        menu->addTextItem("Rotate", "Rotate the selection", 3, tnMarkPosition::East, font, nullptr);
        menu->addTextItem("Scale", "Scale the selection", 4, tnMarkPosition::Southeast, font, nullptr);
        menu->addSubmenuTextItem("Create", "Create a shape", submenu.get(), tnMarkPosition::South, font, nullptr);
        menu->addTextItem("Delete", "Delete the selection", 6, tnMarkPosition::Southwest, font, nullptr)
            ->setState(tnMarkItem::Disabled);
        menu->addTextItem("Snap", "Snap to the grid", 7, tnMarkPosition::West, font, nullptr)->setChecked(true);
        menu->addTextItem("Group", "Group the selection", 8, tnMarkPosition::Northwest, font, nullptr);
        for (int i = 0; i < overflow; ++i) {
            const std::string label = "Overflow item " + std::to_string(i);
            menu->addOverflowItem(label.c_str(), "", 100 + i, font, nullptr);
            if (i == 0)
                menu->addSeparator();
        }
        tnMarkMenu::setGesturePhase(false);
        menu->hover(pointerX, pointerY, false);
    }
    ~DisplayedMenu() { tnMarkMenu::setGesturePhase(true); }

    std::unique_ptr<tnMarkMenu> menu{createMarkMenu()};
    std::unique_ptr<tnMarkMenu> submenu{createMarkMenu()};
    const float pointerX = 62.0f;
    const float pointerY = 58.0f;
};

void BM_MarkRender_RadialRepaint(benchmark::State& state)
{
    ensureGuiApplication();
    DisplayedMenu displayed(static_cast<int>(state.range(0)));
    QWidget view;
    QmarkRender render(&view);
    QImage image(640, 800, QImage::Format_ARGB32_Premultiplied);
    render.setCenter(320.0, 300.0);

    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        // As the first paint of a popup, which draws the items' pictures.
        render.forgetPictures();
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        render.setPainter(&painter);
        displayed.menu->draw(render, true);
        render.drawPointerLine(0.0f, 0.0f, displayed.pointerX, displayed.pointerY);
        if (auto* highlighted = dynamic_cast<tnMarkMenuItem*>(displayed.menu->getHighlightedItem()))
            highlighted->showToolTip(render);
        render.setPainter(nullptr);
    }
    report(state, 1, "per_paint", before);
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_MarkRender_RadialRepaint)->ArgName("overflow")->Arg(3)->Arg(20)->Unit(benchmark::kMicrosecond);

// The pixels a pointer line from the centre to the model point (x, y) may
// cover, as the view reckons them.
QRect pointerLineRect(QPointF center, float x, float y)
{
    return QRectF(center, center + QPointF(x, -y)).normalized().toAlignedRect().adjusted(-4, -4, 4, 4);
}

// One pointer move inside the highlighted item's direction, as the view
// repaints it: the region of the old and the new pointer line is cleared and
// painted with the menu, whose items outside it the render skips, the line,
// and the tooltip where it reaches into the region.
void BM_MarkRender_MoveRepaint(benchmark::State& state)
{
    ensureGuiApplication();
    DisplayedMenu displayed(static_cast<int>(state.range(0)));
    QWidget view;
    QmarkRender render(&view);
    QImage image(640, 800, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPointF center(320.0, 300.0);
    render.setCenter(center.x(), center.y());

    tnMarkMenu& menu = *displayed.menu;
    auto* highlighted = dynamic_cast<tnMarkMenuItem*>(menu.getHighlightedItem());
    const float pointers[2][2] = {{displayed.pointerX, displayed.pointerY},
                                  {displayed.pointerX + 6.0f, displayed.pointerY + 4.0f}};
    menu.hover(pointers[1][0], pointers[1][1], false);
    if (!highlighted || menu.getHighlightedItem() != highlighted) {
        state.SkipWithError("the two pointer positions do not highlight the same item");
        return;
    }
    // The full paint that showed the items, which lays the tooltip out.
    {
        QPainter painter(&image);
        render.setPainter(&painter);
        menu.draw(render, true);
        highlighted->showToolTip(render);
        render.setPainter(nullptr);
    }
    const auto* tooltip = dynamic_cast<const QmarkTooltip*>(highlighted->getToolTip());

    std::size_t move = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const float* from = pointers[move % 2];
        const float* to = pointers[++move % 2];
        const QRegion region =
            QRegion(pointerLineRect(center, from[0], from[1])) + pointerLineRect(center, to[0], to[1]);
        QPainter painter(&image);
        painter.setClipRegion(region);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& rect : region)
            painter.fillRect(rect, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::Antialiasing);
        render.setPainter(&painter);
        menu.draw(render, true);
        render.drawPointerLine(0.0f, 0.0f, to[0], to[1]);
        if (!tooltip || region.intersects(tooltip->rect().adjusted(-2, -2, 2, 2)))
            highlighted->showToolTip(render);
        render.setPainter(nullptr);
    }
    report(state, 1, "per_move", before);
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(BM_MarkRender_MoveRepaint)->ArgName("overflow")->Arg(3)->Arg(20)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tnBench
