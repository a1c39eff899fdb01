// Forwarding a change along a chain of entities, and the cost of making and
// destroying an entity with and without a connection.

#include "BenchSupport.h"

#include <tnUI/foundation/ReferenceCount.h>
#include <tnUI/foundation/Signal.h>

#include <vector>

namespace tnBench {
namespace {

[[gnu::noinline]] void announceAtHead(const Announcer& head)
{
    head.announce();
}

// Entity i + 1 forwards the messages of entity i; a root message sent at the
// head reaches a listener at the tail as a chain of "Forward" messages.
void BM_Forward_Chain(benchmark::State& state)
{
    const auto n = state.range(0);
    std::vector<tn::Reference<Announcer>> chain;
    for (std::int64_t i = 0; i < n; ++i) {
        chain.emplace_back(new Announcer);
        if (i > 0)
            chain[static_cast<std::size_t>(i)]->follow(chain[static_cast<std::size_t>(i - 1)].get());
    }
    tn::Reference<MessageCounter> tail(new MessageCounter);
    tnRTB::connect(chain.back()->messageSignal, tail.get(), &MessageCounter::onMessage);
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        announceAtHead(*chain.front());
    report(state, n, "per_entity", before);
    checkDelivery(state, tail->count, state.iterations());
}
BENCHMARK(BM_Forward_Chain)->ArgName("entities")->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Arg(256)->Arg(1024);

// new, ref and the last unref of a small entity.
void BM_Create_Entity(benchmark::State& state)
{
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        auto* entity = new Announcer;
        entity->ref();
        benchmark::DoNotOptimize(entity);
        entity->unref();
    }
    report(state, 1, "per_object", before);
}
BENCHMARK(BM_Create_Entity);

// The same with a listener connected to the new entity's messageSignal; the
// entity's death cuts the connection.
void BM_Create_EntityListenedTo(benchmark::State& state)
{
    tn::Reference<MessageCounter> listener(new MessageCounter);
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        auto* entity = new Announcer;
        entity->ref();
        tnRTB::connect(entity->messageSignal, listener.get(), &MessageCounter::onMessage);
        entity->unref();
    }
    report(state, 1, "per_object", before);
    if (listener->signalClient.getNumConnections() != 0)
        state.SkipWithError("a connection outlived its entity");
}
BENCHMARK(BM_Create_EntityListenedTo);

// The same with the new entity forwarding the messages of a long-lived one;
// its death takes the connection off the source's signal.
void BM_Create_EntityListening(benchmark::State& state)
{
    tn::Reference<Announcer> source(new Announcer);
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        auto* entity = new Announcer;
        entity->ref();
        entity->follow(source.get());
        entity->unref();
    }
    report(state, 1, "per_object", before);
    if (source->messageSignal.getNumConnections() != 0)
        state.SkipWithError("a connection outlived its entity");
}
BENCHMARK(BM_Create_EntityListening);

} // namespace
} // namespace tnBench
