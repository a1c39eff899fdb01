// A value list of N members: built by adding them (each listened to) and let
// go, and cut back to nothing by assigning an empty list, with N distinct
// members and with one value held N times. Beside them, what a Qt host would
// write instead: a list of (position, sender) entries whose signals it
// relays, one connection per entry, kept to be cut one by one.

#include "BenchSupport.h"
#include "QtBench.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/values/RealValue.h>
#include <tnUI/values/ValueList.h>

#include <QList>
#include <QObject>

#include <memory>
#include <vector>

namespace tnBench {
namespace {

// members:N, and same:1 for one value held N times (same:0, N values).
void sizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"members", "same"});
    for (const int same : {0, 1})
        for (const int n : {100, 1000, 10000, 100000})
            b->Args({n, same});
}

std::vector<tn::Reference<tnUI::RealValue>> members(const benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<tn::Reference<tnUI::RealValue>> values(state.range(1) != 0 ? 1 : n);
    for (auto& v : values)
        v = new tnUI::RealValue(1.0);
    return values;
}

tn::Reference<tnUI::ValueList> listOf(const std::vector<tn::Reference<tnUI::RealValue>>& values, std::int64_t n)
{
    tn::Reference<tnUI::ValueList> list(new tnUI::ValueList);
    for (std::int64_t i = 0; i < n; ++i)
        list->addValue(static_cast<double>(i), values[static_cast<std::size_t>(i) % values.size()]);
    return list;
}

// Adds N members to a new list, then lets the list go.
void BM_ValueList_AddAndRelease(benchmark::State& state)
{
    const auto values = members(state);
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        benchmark::DoNotOptimize(listOf(values, state.range(0)).get());
    report(state, state.range(0), "per_member", before);
}
BENCHMARK(BM_ValueList_AddAndRelease)->Apply(sizes)->Unit(benchmark::kMicrosecond);

// Assigns an empty list to a list of N members: every member leaves.
void BM_ValueList_AssignEmpty(benchmark::State& state)
{
    const auto values = members(state);
    const tn::Reference<tnUI::ValueList> empty(new tnUI::ValueList);
    const std::uint64_t before = allocationCount();
    std::uint64_t setup = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::uint64_t building = allocationCount();
        tn::Reference<tnUI::ValueList> list = listOf(values, state.range(0));
        setup += allocationCount() - building;
        state.ResumeTiming();
        list->assign(empty);
        if (list->size() != 0)
            state.SkipWithError("the list kept members");
        state.PauseTiming();
        // The list's own end is not part of the assign.
        const std::uint64_t ending = allocationCount();
        list = nullptr;
        setup += allocationCount() - ending;
        state.ResumeTiming();
    }
    report(state, state.range(0), "per_member", before + setup);
}
BENCHMARK(BM_ValueList_AssignEmpty)->Apply(sizes)->Unit(benchmark::kMicrosecond);

// The Qt host's list: entries of a position, a sender and the connection
// that relays its signal.
struct QtEntry {
    double position;
    QtSender* sender;
    QMetaObject::Connection connection;
};

std::vector<std::unique_ptr<QtSender>> senders(const benchmark::State& state)
{
    std::vector<std::unique_ptr<QtSender>> out(state.range(1) != 0 ? 1 : static_cast<std::size_t>(state.range(0)));
    for (auto& s : out)
        s = std::make_unique<QtSender>();
    return out;
}

QList<QtEntry> qtListOf(const std::vector<std::unique_ptr<QtSender>>& from, QtCounter& relay, std::int64_t n)
{
    QList<QtEntry> list;
    for (std::int64_t i = 0; i < n; ++i) {
        QtSender* s = from[static_cast<std::size_t>(i) % from.size()].get();
        list.append({static_cast<double>(i), s, QObject::connect(s, &QtSender::fired, &relay, &QtCounter::onValue)});
    }
    return list;
}

void disconnectAll(QList<QtEntry>& list)
{
    for (const QtEntry& e : list)
        QObject::disconnect(e.connection);
    list.clear();
}

void BM_QtList_AddAndRelease(benchmark::State& state)
{
    const auto from = senders(state);
    QtCounter relay;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        QList<QtEntry> list = qtListOf(from, relay, state.range(0));
        disconnectAll(list);
    }
    report(state, state.range(0), "per_member", before);
}
BENCHMARK(BM_QtList_AddAndRelease)->Apply(sizes)->Unit(benchmark::kMicrosecond);

void BM_QtList_Clear(benchmark::State& state)
{
    const auto from = senders(state);
    QtCounter relay;
    const std::uint64_t before = allocationCount();
    std::uint64_t setup = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::uint64_t building = allocationCount();
        QList<QtEntry> list = qtListOf(from, relay, state.range(0));
        setup += allocationCount() - building;
        state.ResumeTiming();
        disconnectAll(list);
    }
    report(state, state.range(0), "per_member", before + setup);
}
BENCHMARK(BM_QtList_Clear)->Apply(sizes)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tnBench
