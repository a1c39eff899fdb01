#pragma once

#include "AllocationCounter.h"

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Message.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace tnBench {

// The whole work of a listener, whatever calls it: bump its own counter in a
// way the compiler must keep. Every mechanism pays for exactly this, so the
// figures compare dispatch.
inline void touch(std::int64_t& counter)
{
    ++counter;
    benchmark::DoNotOptimize(counter);
}

// Finishes a benchmark whose iterations each handled `items` items (listeners
// called, entities passed, objects made): items_per_second counts items,
// `unit` is the time of one item and "allocs" the heap allocations of one
// iteration.
inline void report(benchmark::State& state, std::int64_t items, const std::string& unit,
                   std::uint64_t allocationsBefore)
{
    // Counted first: filling in the counters allocates.
    const auto allocations = static_cast<double>(allocationCount() - allocationsBefore);
    state.counters["allocs"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * items);
    state.counters[unit] = benchmark::Counter(
        static_cast<double>(items), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Fails the benchmark when the listeners saw `delivered` calls instead of
// `expected`: the figures of a broken setup must not pass for real ones.
inline void checkDelivery(benchmark::State& state, std::int64_t delivered, std::int64_t expected)
{
    if (delivered != expected)
        state.SkipWithError("the listeners did not receive every emission");
}

// A small model object that announces a change and can pass on another's.
class Announcer : public tnUI::Entity {
public:
    // Sends a root "Value" message.
    void announce() const
    {
        tnUI::Message m(this, tnUI::Message::Value);
        sendMessage(m);
    }
    // Forwards every message of source from now on.
    void follow(const tnUI::Entity* source) { connectSignal(source); }
};

// An entity listening to messages.
class MessageCounter : public tnUI::Entity {
public:
    void onMessage(tnUI::Message& /*m*/) { touch(count); }

    std::int64_t count = 0;
};

} // namespace tnBench
