// A menu bar's cost per model message: a bar of N menus of M commands each,
// every menu compiled, every command with an enabled condition of its own.
// One iteration switches one command's condition; the message reaches its
// action (and, passed on, its menu and the bar, which have nothing to do).
// Beside it, what a host does by hand: QAction::setEnabled on one action of
// the same bar built from Qt's classes. The bars are not shown, like a menu
// bar whose menus are closed.

#include "BenchSupport.h"
#include "GuiApp.h"

#include <tnUI/commands/CommandDefn.h>
#include <tnUI/commands/CommandInstance.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/widgets/CommandMenu.h>

#include <QMenu>
#include <QMenuBar>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tnBench {
namespace {

// Reports one message per iteration, with the C heap blocks (Qt allocates
// with malloc directly) beside the operator new count, and fails a run whose
// action does not show the last switch.
void finish(benchmark::State& state, std::uint64_t allocationsBefore, std::uint64_t mallocsBefore, bool shownRight)
{
    const auto mallocs = static_cast<double>(mallocCount() - mallocsBefore);
    report(state, 1, "per_message", allocationsBefore);
    state.counters["mallocs"] = benchmark::Counter(mallocs, benchmark::Counter::kAvgIterations);
    state.counters["items"] = static_cast<double>(state.range(0) * state.range(1));
    if (!shownRight)
        state.SkipWithError("the action does not show the last switch");
}

// The name of the i-th command.
tnString::CString commandName(int i)
{
    char text[16];
    std::snprintf(text, sizeof text, "c%d", i);
    return tnString::CString(text);
}

// The timed work of one iteration, never inlined, so that callgrind can
// count it apart.
[[gnu::noinline]] void switchCondition(tnUI::BoolValue* condition, bool on)
{
    condition->setValue(on);
}
[[gnu::noinline]] void switchAction(QAction* action, bool on)
{
    action->setEnabled(on);
}

void BM_MenuBar_EnabledMessage(benchmark::State& state)
{
    ensureGuiApplication();
    const auto menus = static_cast<int>(state.range(0));
    const auto perMenu = static_cast<int>(state.range(1));
    const tn::Reference<tnUI::CommandGroup> barGroup(new tnUI::CommandGroup);
    std::vector<tn::Reference<tnUI::BoolValue>> conditions;
    for (int m = 0; m < menus; ++m) {
        const tn::Reference<tnUI::CommandGroup> menu(new tnUI::CommandGroup);
        for (int i = 0; i < perMenu; ++i) {
            tn::Reference<tnUI::CommandInstance> command(
                new tnUI::CommandInstance(new tnUI::TestCommandDefn(commandName(m * perMenu + i))));
            conditions.emplace_back(new tnUI::BoolValue(true));
            command->setEnabledExpression(conditions.back());
            menu->appendItem(command);
        }
        barGroup->appendItem(menu);
    }
    QMenuBar bar;
    const QList<tnUI::CommandMenu*> shown = tnUI::CommandMenu::fillMenuBar(&bar, barGroup, {});
    for (tnUI::CommandMenu* menu : shown)
        menu->compileIfChanged();
    // A command in the middle of the middle menu.
    const int index = menus / 2 * perMenu + perMenu / 2;
    tnUI::BoolValue* condition = conditions[index];
    const QAction* action = shown[menus / 2]->actionFor(commandName(index).asChar());

    bool on = true;
    const std::uint64_t allocations = allocationCount();
    const std::uint64_t mallocs = mallocCount();
    for (auto _ : state) {
        on = !on;
        switchCondition(condition, on);
    }
    finish(state, allocations, mallocs, action && action->isEnabled() == on);
}

void BM_MenuBar_QtSetEnabled(benchmark::State& state)
{
    ensureGuiApplication();
    const auto menus = static_cast<int>(state.range(0));
    const auto perMenu = static_cast<int>(state.range(1));
    QMenuBar bar;
    std::vector<QAction*> actions;
    for (int m = 0; m < menus; ++m) {
        QMenu* menu = bar.addMenu(QStringLiteral("Menu %1").arg(m));
        for (int i = 0; i < perMenu; ++i)
            actions.push_back(menu->addAction(QStringLiteral("c%1").arg(m * perMenu + i)));
    }
    QAction* action = actions[menus / 2 * perMenu + perMenu / 2];

    bool on = true;
    const std::uint64_t allocations = allocationCount();
    const std::uint64_t mallocs = mallocCount();
    for (auto _ : state) {
        on = !on;
        switchAction(action, on);
    }
    finish(state, allocations, mallocs, action->isEnabled() == on);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"menus", "per_menu"});
    for (auto [menus, perMenu] : {std::pair{10, 10}, {20, 50}, {100, 100}})
        b->Args({menus, perMenu});
    b->Unit(benchmark::kNanosecond);
}

BENCHMARK(BM_MenuBar_EnabledMessage)->Apply(sizes);
BENCHMARK(BM_MenuBar_QtSetEnabled)->Apply(sizes);

} // namespace
} // namespace tnBench
