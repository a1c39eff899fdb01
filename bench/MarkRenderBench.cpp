// A full repaint of a displayed radial marking menu with Qt, as the view's
// paint does it: parents, centre, overflow list, items with their option box,
// the pointer line and the highlighted item's tooltip, into an offscreen image.

#include "BenchSupport.h"
#include "GuiApp.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkRender.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
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

} // namespace
} // namespace tnBench
