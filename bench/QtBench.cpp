// Qt's direct signal-slot connections, the counterpart of EmissionBench.cpp,
// and the cost of making and destroying a QObject beside that of an entity.

#include "QtBench.h"

#include <memory>
#include <numeric>
#include <vector>

namespace tnBench {
namespace {

[[gnu::noinline]] void emitQt(QtSender& sender)
{
    Q_EMIT sender.fired(1);
}

// QObject receivers, slot by member function.
void BM_Emit_QtDirect(benchmark::State& state)
{
    const auto n = state.range(0);
    QtSender sender;
    std::vector<std::unique_ptr<QtCounter>> receivers;
    for (std::int64_t i = 0; i < n; ++i) {
        receivers.push_back(std::make_unique<QtCounter>());
        QObject::connect(&sender, &QtSender::fired, receivers.back().get(), &QtCounter::onValue, Qt::DirectConnection);
    }
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitQt(sender);
    std::int64_t delivered = 0;
    for (const auto& r : receivers)
        delivered += r->count;
    report(state, n, "per_listener", before);
    checkDelivery(state, delivered, state.iterations() * n);
}
BENCHMARK(BM_Emit_QtDirect)->ArgName("listeners")->Arg(1)->Arg(8)->Arg(64);

// Lambda slots, each with a receiver as context object.
void BM_Emit_QtDirectLambda(benchmark::State& state)
{
    const auto n = state.range(0);
    QtSender sender;
    std::vector<std::unique_ptr<QObject>> contexts;
    std::vector<std::int64_t> counts(static_cast<std::size_t>(n));
    for (auto& c : counts) {
        contexts.push_back(std::make_unique<QObject>());
        QObject::connect(
            &sender, &QtSender::fired, contexts.back().get(), [counter = &c](int /*value*/) { touch(*counter); },
            Qt::DirectConnection);
    }
    const std::uint64_t before = allocationCount();
    for (auto _ : state)
        emitQt(sender);
    report(state, n, "per_listener", before);
    checkDelivery(state, std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), state.iterations() * n);
}
BENCHMARK(BM_Emit_QtDirectLambda)->ArgName("listeners")->Arg(1)->Arg(8)->Arg(64);

// new + delete of a QObject.
void BM_Create_QObject(benchmark::State& state)
{
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        auto* object = new QtSender;
        benchmark::DoNotOptimize(object);
        delete object;
    }
    report(state, 1, "per_object", before);
}
BENCHMARK(BM_Create_QObject);

// The same with one receiver connected to the new object's signal.
void BM_Create_QObjectListenedTo(benchmark::State& state)
{
    QtCounter receiver;
    const std::uint64_t before = allocationCount();
    for (auto _ : state) {
        auto* object = new QtSender;
        QObject::connect(object, &QtSender::fired, &receiver, &QtCounter::onValue, Qt::DirectConnection);
        delete object;
    }
    report(state, 1, "per_object", before);
}
BENCHMARK(BM_Create_QObjectListenedTo);

} // namespace
} // namespace tnBench
