// Signals: what the signal fuzzer's model does not reach. Callbacks that cut,
// block, re-emit, throw and destroy during an emission are the fuzzer's
// business (with its seeds in fuzz/corpus/signal_fuzzer); here are signals of
// several arguments, null callbacks, a destructor that cuts its own
// receiver's connections again, one allocation per connection and emissions
// that allocate nothing.

#include <tnUI/foundation/Signal.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <vector>

// Every allocation of the program goes through these (the array forms call
// them), so that a test can count the allocations made by a piece of code.
namespace {
long g_allocations = 0;

void* countedAllocation(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size)
{
    return countedAllocation(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using tnRTB::Signal;
using tnRTB::SignalClient;
using Log = std::vector<int>;

// A listener whose member callbacks log its id.
struct Receiver {
    Receiver(int id, Log& log) : id(id), log(log) {}
    SignalClient signalClient;
    int id;
    Log& log;

    void on(int) { log.push_back(id); }
    void onVoid() { log.push_back(id); }
};

// A token that runs f when its last copy dies: captured by a callback, it
// makes the callback's destructor do something.
std::shared_ptr<void> onDestroy(std::function<void()> f)
{
    return {nullptr, [f = std::move(f)](void*) { f(); }};
}

TEST(Signal, CallsConnectionsInOrderAndIgnoresNullCallbacks)
{
    Signal<int, const std::string&> signal;
    std::vector<std::string> seen;
    SignalClient client;
    signal.addCallback(nullptr, nullptr);
    EXPECT_TRUE(signal.isEmpty());
    for (int id = 1; id <= 3; ++id)
        tnRTB::connect(signal, id == 2 ? nullptr : &client, [&seen, id](int v, const std::string& s) {
            seen.push_back(std::to_string(id) + ":" + std::to_string(v) + s);
        });
    signal.fire(7, "x");
    EXPECT_EQ(seen, (std::vector<std::string>{"1:7x", "2:7x", "3:7x"}));
    // The receiver-less connection is freed by the signal's death.
    EXPECT_EQ(std::tuple(signal.getNumConnections(), client.getNumConnections()), std::tuple(3, 2));
}

TEST(Signal, ADisconnectAllStartedByACutWhoseFirstCutDestroysTheReceiver)
{
    // Both loops over the receiver's connections must stop.
    Signal<int> signal;
    auto client = std::make_unique<SignalClient>();
    SignalClient* raw = client.get();
    tnRTB::connect(signal, raw, [guard = onDestroy([&client] { client.reset(); })](int) {});
    tnRTB::connect(signal, raw, [](int) {});
    tnRTB::connect(signal, raw, [guard = onDestroy([raw] { raw->disconnectAll(); })](int) {});
    raw->disconnectAll();
    EXPECT_TRUE(!client && signal.isEmpty());
}

TEST(Signal, EmissionAllocatesNothing)
{
    Signal<int> signal;
    Signal<> bare;
    Log log;
    log.reserve(64);
    Receiver a(1, log), b(2, log), c(3, log);
    SignalClient client;
    tnRTB::connect(signal, &a, &Receiver::on);
    tnRTB::connect(signal, &client, [&log](int v) { log.push_back(v); });
    tnRTB::connect<&Receiver::on>(signal, &b); // the method fixed at compile time
    tnRTB::connect(signal, &c, &Receiver::on);
    tnRTB::connect(signal, &client, [&signal, &log](int v) {
        log.push_back(v);
        if (v > 0)
            signal.fire(v - 1); // nested emissions allocate nothing either
    });
    tnRTB::connect(bare, &a, &Receiver::onVoid);
    // The counter does count: connecting allocates.
    const long beforeConnect = g_allocations;
    tnRTB::connect(bare, &client, [&log] { log.push_back(-1); });
    EXPECT_GT(g_allocations, beforeConnect);
    // One block per connection, its callback included, whatever the form.
    tnRTB::connect<&Receiver::onVoid>(bare, &b);
    tnRTB::connect(bare, &c, &Receiver::onVoid);
    EXPECT_EQ(g_allocations - beforeConnect, 3);
    bare.blockInstance(&b, true);
    bare.blockInstance(&c, true);
    signal.blockInstance(&b, true);

    const long before = g_allocations;
    signal.fire(2);
    bare.fire();
    // Three emissions of four, and two for bare.
    EXPECT_EQ(std::tuple(g_allocations - before, log.size()), std::tuple(0l, 14ul));
}

} // namespace
