// The marking menu's pointer paths: the hover update that runs on every
// accepted pointer move, and the corner detection that replays a stroke.

#include "BenchSupport.h"
#include "GuiApp.h"

#include <tnUI/markingmenus/MarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenu.h>
#include <tnUI/markingmenus/qt/QmarkMenuView.h>

#include <QPainterPath>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace tnBench {
namespace {

// Sixteen items around the centre (automatic placement hands out every
// direction) and twenty in the overflow list, displayed.
std::unique_ptr<tnMarkMenu> fullMenu()
{
    std::unique_ptr<tnMarkMenu> menu(createMarkMenu());
    const tnMarkFont font("Sans", 0, 12);
    for (int i = 0; i < 16; ++i)
        menu->addTextItem("Radial item", "", i, tnMarkPosition::Auto, font, nullptr);
    for (int i = 0; i < 20; ++i)
        menu->addOverflowItem("Overflow item", "", 100 + i, font, nullptr);
    tnMarkMenu::setGesturePhase(false);
    menu->showItems();
    return menu;
}

// Pointer offsets sweeping the menu: rings from the centre zone out past the
// items, and a column down through the overflow list.
std::vector<QPointF> sweep(tnMarkMenu& menu)
{
    std::vector<QPointF> points;
    for (const double distance : {10.0, 40.0, 90.0, 200.0, 300.0}) {
        for (int step = 0; step < 64; ++step) {
            const double angle = step * 2.0 * std::numbers::pi / 64.0;
            points.emplace_back(distance * std::cos(angle), distance * std::sin(angle));
        }
    }
    const float top = -(menu.getRadius() + 32.0f);
    for (int step = 0; step < 64; ++step)
        points.emplace_back(5.0, top - step * menu.getOverflowHeight() / 64.0f);
    return points;
}

void BM_MarkMenu_Hover(benchmark::State& state)
{
    ensureGuiApplication();
    std::unique_ptr<tnMarkMenu> menu = fullMenu();
    const std::vector<QPointF> points = sweep(*menu);
    std::size_t next = 0;
    std::int64_t changes = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        const QPointF& p = points[next];
        next = next + 1 == points.size() ? 0 : next + 1;
        changes += menu->hover(static_cast<float>(p.x()), static_cast<float>(p.y()), false);
    }
    benchmark::DoNotOptimize(changes);
    report(state, 1, "per_hover", before);
    tnMarkMenu::setGesturePhase(true);
}
BENCHMARK(BM_MarkMenu_Hover);

// A 200-point stroke: a wavering line East, a sharp turn North and a slow
// curve back West, recorded in steps of 4 to 40 pixels.
QPainterPath stroke200()
{
    QPainterPath stroke(QPointF(400, 300));
    QPointF p(400, 300);
    for (int i = 1; i < 200; ++i) {
        if (i < 60)
            p += QPointF(6.0, (i % 2) ? 2.0 : -2.0);
        else if (i < 70)
            p += QPointF(0.0, -30.0);
        else
            p += QPointF(-4.0 * std::cos(i * 0.02), -4.0 * std::sin(i * 0.02));
        stroke.lineTo(p);
    }
    return stroke;
}

void BM_MarkMenu_SimplifyStroke(benchmark::State& state)
{
    ensureGuiApplication();
    const QPainterPath stroke = stroke200();
    int vertices = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        vertices += QmarkMenuView::simplifyStroke(stroke, 25.0f).elementCount();
    benchmark::DoNotOptimize(vertices);
    report(state, stroke.elementCount(), "per_point", before);
}
BENCHMARK(BM_MarkMenu_SimplifyStroke);

} // namespace
} // namespace tnBench
