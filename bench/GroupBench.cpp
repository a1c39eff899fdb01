// Building menus: appending elements to a group, elements that another group
// already holds, and a menu of nested groups. Every insertion checks that the
// group's tree does not hold the element yet; the figures per insertion show
// whether that check grows with the size of the tree.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>
#include <tnUI/menus/Element.h>
#include <tnUI/menus/Group.h>

#include <cstdint>
#include <vector>

namespace tnBench {
namespace {

using Items = std::vector<tn::Reference<tnUI::Item>>;

Items makeItems(std::int64_t n)
{
    Items items;
    items.reserve(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i)
        items.emplace_back(new tnUI::Item);
    return items;
}

// The timed work, in functions of their own so that instruction counts
// (callgrind) can single them out from the untimed setup.
[[gnu::noinline]] void appendEach(tnUI::Group& group, const Items& items)
{
    for (const auto& item : items)
        group.appendItem(item);
}

[[gnu::noinline]] void appendNested(tnUI::Group& root, const std::vector<tn::Reference<tnUI::Group>>& groups,
                                    const std::vector<Items>& items)
{
    for (std::size_t g = 0; g < groups.size(); ++g) {
        root.appendItem(groups[g]);
        appendEach(*groups[g], items[g]);
    }
}

// What one iteration builds on, made before the timed part. Replacing it
// (and so destroying the last one) is untimed too.
struct Menu {
    std::vector<Items> items;
    std::vector<tn::Reference<tnUI::Group>> groups; // the sub-groups, or the other holder
    tn::Reference<tnUI::Group> root;
    tn::Reference<MessageCounter> listener;
};

// Builds a fresh menu inside a paused section and adds the allocations it
// made to untimed; returns how many messages the previous one's root sent.
template <class Build>
std::int64_t renew(benchmark::State& state, Menu& menu, std::uint64_t& untimed, const Build& build)
{
    state.PauseTiming();
    const std::uint64_t mark = allocationCount();
    const std::int64_t messages = menu.listener ? menu.listener->count : 0;
    menu = Menu();
    build(menu);
    menu.root = new tnUI::Group;
    menu.listener = new MessageCounter;
    tnRTB::connect(menu.root->messageSignal, menu.listener.get(), &MessageCounter::onMessage);
    untimed += allocationCount() - mark;
    state.ResumeTiming();
    return messages;
}

// Appends n items to a group that a listener watches, as a menu widget
// would. With heldElsewhere every item already belongs to another group:
// that is where a check walking the receiving group's tree would pay.
void appendAll(benchmark::State& state, bool heldElsewhere)
{
    const std::int64_t n = state.range(0);
    std::uint64_t untimed = 0;
    std::int64_t messages = 0;
    Menu menu;
    const auto build = [n, heldElsewhere](Menu& m) {
        m.items.push_back(makeItems(n));
        if (heldElsewhere) {
            m.groups.emplace_back(new tnUI::Group);
            for (const auto& item : m.items[0])
                m.groups[0]->appendItem(item);
        }
    };
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        messages += renew(state, menu, untimed, build);
        appendEach(*menu.root, menu.items[0]);
    }
    messages += menu.listener ? menu.listener->count : 0;
    report(state, n, "per_insertion", before + untimed);
    checkDelivery(state, messages, state.iterations() * n);
}

void BM_Group_Append(benchmark::State& state)
{
    appendAll(state, false);
}
BENCHMARK(BM_Group_Append)->ArgName("items")->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_Group_AppendHeldElsewhere(benchmark::State& state)
{
    appendAll(state, true);
}
BENCHMARK(BM_Group_AppendHeldElsewhere)
    ->ArgName("items")
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);

// A menu of groups of items: each sub-group is appended to the root, then
// filled, so every insertion's "Content" also travels up to the root's
// listener as a "Forward". Timed: groups × (items + 1) insertions.
void BM_Group_Nested(benchmark::State& state)
{
    const std::int64_t groups = state.range(0), perGroup = state.range(1);
    std::uint64_t untimed = 0;
    std::int64_t messages = 0;
    Menu menu;
    const auto build = [groups, perGroup](Menu& m) {
        for (std::int64_t g = 0; g < groups; ++g) {
            m.groups.emplace_back(new tnUI::Group);
            m.items.push_back(makeItems(perGroup));
        }
    };
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        messages += renew(state, menu, untimed, build);
        appendNested(*menu.root, menu.groups, menu.items);
    }
    const std::int64_t insertions = groups * (perGroup + 1);
    messages += menu.listener ? menu.listener->count : 0;
    report(state, insertions, "per_insertion", before + untimed);
    checkDelivery(state, messages, state.iterations() * insertions);
}
BENCHMARK(BM_Group_Nested)
    ->ArgNames({"groups", "items"})
    ->Args({10, 100})
    ->Args({100, 100})
    ->Unit(benchmark::kMicrosecond);

// For comparison, what a check walking down the tree would pay per insertion
// into a group of n elements: one full walk, here through the public
// interface, for an element that is not there.
bool walkHolds(const tnUI::Group& group, const tnUI::Element* e)
{
    for (int i = 0; i < group.getNumElements(); ++i) {
        const tnUI::Element* x = group.getElement(i);
        if (x == e)
            return true;
        const auto* sub = dynamic_cast<const tnUI::Group*>(x);
        if (sub && walkHolds(*sub, e))
            return true;
    }
    return false;
}

void BM_Group_FullWalk(benchmark::State& state)
{
    const std::int64_t n = state.range(0);
    const Items items = makeItems(n);
    const tn::Reference<tnUI::Group> group(new tnUI::Group);
    for (const auto& item : items)
        group->appendItem(item);
    const tn::Reference<tnUI::Item> stranger(new tnUI::Item);
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(walkHolds(*group, stranger.get()));
    report(state, n, "per_element", before);
}
BENCHMARK(BM_Group_FullWalk)->ArgName("items")->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tnBench
