// Compiling menus: a command group of N elements in blocks of ten, as a host
// lays out a large menu: sections that are embedded sub-groups opening and
// closing with a separator, every other one nested in the one before, each
// with three commands and a submenu of three more. Compiling merges the
// sections, drops their doubled and outer separators and keeps the submenus;
// the figures per element show whether that grows with the size of the menu.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/menus/CommandGroup.h>
#include <tnUI/menus/CompiledCommandGroup.h>
#include <tnUI/menus/Element.h>

#include <cstdint>

namespace tnBench {
namespace {

void addItems(tnUI::Group& group, int n)
{
    for (int i = 0; i < n; ++i)
        group.appendItem(tn::Reference<tnUI::Item>(new tnUI::Item));
}

void addSeparator(tnUI::Group& group)
{
    group.appendItem(tn::Reference<tnUI::Separator>(new tnUI::Separator));
}

// elements / 10 sections of ten elements each (the section, two separators,
// three commands, the submenu and its three commands).
tn::Reference<tnUI::CommandGroup> makeMenu(std::int64_t elements)
{
    tn::Reference<tnUI::CommandGroup> root(new tnUI::CommandGroup);
    tnUI::CommandGroup* previous = nullptr; // held by the tree
    for (std::int64_t s = 0; s < elements / 10; ++s) {
        auto* section = new tnUI::CommandGroup;
        (s % 2 ? *previous : *root).appendItem(section);
        section->setLayoutPreference(tnUI::Group::EmbeddedInParent);
        addSeparator(*section);
        addItems(*section, 3);
        const tn::Reference<tnUI::CommandGroup> submenu(new tnUI::CommandGroup);
        submenu->setLayoutPreference(tnUI::Group::List);
        addItems(*submenu, 3);
        section->appendItem(submenu);
        addSeparator(*section);
        previous = section;
    }
    return root;
}

// The timed work: compile, then let the tree go, as a host that compiles a
// menu each time it is shown.
[[gnu::noinline]] int compileAndRelease(tnUI::CommandGroup* menu)
{
    const tn::Reference<tnUI::CompiledCommandGroup> compiled = tnUI::compileCommandGroup(menu);
    return compiled->getNumItems();
}

void BM_Compile_Menu(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const tn::Reference<tnUI::CommandGroup> menu = makeMenu(n);
    const std::int64_t sections = n / 10;
    int items = 0;
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(items = compileAndRelease(menu));
    report(state, n, "per_element", before);
    // Four items per section (three commands and the submenu) and one
    // separator between neighbouring sections.
    if (items != 5 * sections - 1)
        state.SkipWithError("the compiled menu is not the expected one");
}
BENCHMARK(BM_Compile_Menu)->ArgName("elements")->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tnBench
