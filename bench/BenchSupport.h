#pragma once

#include "AllocationCounter.h"

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Message.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <malloc.h>
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

// The heap condition of a run, from its second argument (fresh_pages). On
// this machine a page the process touches for the first time costs about
// 10 us, so whether a run finds the pages of the previous iteration decides
// its time as much as the work does:
//  - fresh_pages:0, a warm heap: the allocator keeps all freed memory, large
//    blocks included, and every iteration after the first reuses pages the
//    process already has (the work alone);
//  - fresh_pages:1: settle() returns all free memory to the system after each
//    iteration, so every iteration touches fresh pages for what it holds.
class HeapCondition {
public:
    explicit HeapCondition(const benchmark::State& state) : m_fresh(state.range(1) != 0)
    {
        // The default thresholds (128 KiB) map large blocks afresh and let
        // a teardown give the top of the heap back whenever it ends free.
        mallopt(M_TRIM_THRESHOLD, m_fresh ? kDefaultThreshold : 1 << 30);
        mallopt(M_MMAP_THRESHOLD, m_fresh ? kDefaultThreshold : kLargestMmapThreshold);
    }
    ~HeapCondition()
    {
        mallopt(M_TRIM_THRESHOLD, kDefaultThreshold);
        mallopt(M_MMAP_THRESHOLD, kDefaultThreshold);
    }
    HeapCondition(const HeapCondition&) = delete;
    HeapCondition& operator=(const HeapCondition&) = delete;

    bool fresh() const noexcept { return m_fresh; }

    // After an iteration's teardown, with timing paused.
    void settle() const
    {
        if (m_fresh)
            malloc_trim(0);
    }

private:
    static constexpr int kDefaultThreshold = 128 * 1024;
    // glibc's upper bound for the threshold on 64-bit systems.
    static constexpr int kLargestMmapThreshold = 32 * 1024 * 1024;
    bool m_fresh;
};

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
