// One emission to 1, 8 and 64 listeners: our entity messages and bare
// signals, Boost.Signals2, and a loop over std::function (the floor). The Qt
// counterparts are in QtBench.cpp. Each emission goes through a function that
// is never inlined, the same for every mechanism, so that callgrind can
// attribute instructions to one emission.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <boost/signals2/dummy_mutex.hpp>
#include <boost/signals2/signal.hpp>
#include <boost/signals2/signal_type.hpp>

#include <functional>
#include <numeric>
#include <vector>

namespace tnBench {
namespace {

void listenerCounts(benchmark::internal::Benchmark* b)
{
    b->ArgName("listeners")->Arg(1)->Arg(8)->Arg(64);
}

// Our entity: a root message on messageSignal, member-function listeners.

[[gnu::noinline]] void emitOursMessage(const Announcer& sender)
{
    sender.announce();
}

void BM_Emit_OursMessage(benchmark::State& state)
{
    const auto n = state.range(0);
    tn::Reference<Announcer> sender(new Announcer);
    std::vector<tn::Reference<MessageCounter>> listeners;
    for (std::int64_t i = 0; i < n; ++i) {
        listeners.emplace_back(new MessageCounter);
        tnRTB::connect(sender->messageSignal, listeners.back().get(), &MessageCounter::onMessage);
    }
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitOursMessage(*sender);
    std::int64_t delivered = 0;
    for (const auto& l : listeners)
        delivered += l->count;
    report(state, n, "per_listener", before);
    checkDelivery(state, delivered, state.iterations() * n);
}
BENCHMARK(BM_Emit_OursMessage)->Apply(listenerCounts);

// Our bare signal of an int, member-function listeners.

struct IntCounter {
    void onValue(int /*value*/) { touch(count); }

    tnRTB::SignalClient signalClient;
    std::int64_t count = 0;
};

[[gnu::noinline]] void emitOursInt(const tnRTB::Signal<int>& signal)
{
    signal.fire(1);
}

void BM_Emit_OursSignalInt(benchmark::State& state)
{
    const auto n = state.range(0);
    tnRTB::Signal<int> signal;
    std::vector<IntCounter> listeners(static_cast<std::size_t>(n));
    for (auto& l : listeners)
        tnRTB::connect(signal, &l, &IntCounter::onValue);
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitOursInt(signal);
    std::int64_t delivered = 0;
    for (const auto& l : listeners)
        delivered += l.count;
    report(state, n, "per_listener", before);
    checkDelivery(state, delivered, state.iterations() * n);
}
BENCHMARK(BM_Emit_OursSignalInt)->Apply(listenerCounts);

// Our bare signal of an int, lambda listeners (the shape of the other lambda
// benchmarks).

void BM_Emit_OursSignalIntLambda(benchmark::State& state)
{
    const auto n = state.range(0);
    tnRTB::Signal<int> signal;
    std::vector<std::int64_t> counts(static_cast<std::size_t>(n));
    for (auto& c : counts)
        tnRTB::connect(signal, nullptr, [counter = &c](int /*value*/) { touch(*counter); });
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitOursInt(signal);
    report(state, n, "per_listener", before);
    checkDelivery(state, std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), state.iterations() * n);
}
BENCHMARK(BM_Emit_OursSignalIntLambda)->Apply(listenerCounts);

// Boost.Signals2, lambda slots: the default signal (locks a mutex) and one
// with boost's dummy mutex, for the cost without locking.

using BoostSignal = boost::signals2::signal<void(int)>;
using BoostSignalNoLock =
    boost::signals2::signal_type<void(int), boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type;

template <class S>
[[gnu::noinline]] void emitBoost(S& signal)
{
    signal(1);
}

template <class S>
void runBoost(benchmark::State& state)
{
    const auto n = state.range(0);
    S signal;
    std::vector<std::int64_t> counts(static_cast<std::size_t>(n));
    for (auto& c : counts)
        signal.connect([counter = &c](int /*value*/) { touch(*counter); });
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitBoost(signal);
    report(state, n, "per_listener", before);
    checkDelivery(state, std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), state.iterations() * n);
}

void BM_Emit_Boost(benchmark::State& state)
{
    runBoost<BoostSignal>(state);
}
BENCHMARK(BM_Emit_Boost)->Apply(listenerCounts);

void BM_Emit_BoostNoLock(benchmark::State& state)
{
    runBoost<BoostSignalNoLock>(state);
}
BENCHMARK(BM_Emit_BoostNoLock)->Apply(listenerCounts);

// The floor: a loop over a vector of std::function.

using FunctionList = std::vector<std::function<void(int)>>;

[[gnu::noinline]] void emitFunctions(const FunctionList& functions)
{
    for (const auto& f : functions)
        f(1);
}

void BM_Emit_StdFunction(benchmark::State& state)
{
    const auto n = state.range(0);
    FunctionList functions;
    std::vector<std::int64_t> counts(static_cast<std::size_t>(n));
    for (auto& c : counts)
        functions.emplace_back([counter = &c](int /*value*/) { touch(*counter); });
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitFunctions(functions);
    report(state, n, "per_listener", before);
    checkDelivery(state, std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), state.iterations() * n);
}
BENCHMARK(BM_Emit_StdFunction)->Apply(listenerCounts);

} // namespace
} // namespace tnBench
