// Signals under hazard: callbacks that cut, add, block, re-emit, throw and
// destroy receivers, other callbacks or the signal itself while an emission
// runs. The sanitizer build turns every dangling access and leak into a
// failure, so many cases only need to run and check the order of the calls.

#include <tnUI/foundation/Signal.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <utility>
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

// A listener with member callbacks that log its id, then run the scripted
// action, if any; its signalClient cuts its connections when it dies.
struct Receiver {
    Receiver(int id, Log& log) : id(id), log(log) {}
    SignalClient signalClient;
    int id;
    Log& log;
    std::function<void(Receiver&)> action;

    void on(int)
    {
        log.push_back(id);
        if (action)
            action(*this);
    }
    void onAgain(int v) { on(v); }
    void onVoid() { on(0); }
};

// An object that owns a signal, as an entity owns its signals, and says when
// it dies.
struct Source {
    explicit Source(bool& dead) : dead(dead) {}
    ~Source() { dead = true; }
    Signal<int> signal;
    bool& dead;
};

// A token that runs f when its last copy dies: captured by a callback, it
// makes the callback's destructor do something.
std::shared_ptr<void> onDestroy(std::function<void()> f)
{
    return {nullptr, [f = std::move(f)](void*) { f(); }};
}

// A signal owned by a source, receivers 1 to 4 and a destroyable receiver 5.
class SignalHazard : public ::testing::Test {
protected:
    void connect(std::initializer_list<Receiver*> receivers)
    {
        for (Receiver* r : receivers)
            tnRTB::connect(signal, r, &Receiver::on);
    }
    // Connects a lambda that logs id, recorded with receiver.
    void logger(int id, SignalClient* receiver = nullptr)
    {
        tnRTB::connect(signal, receiver, [this, id](int) { log.push_back(id); });
    }
    // Fires once, unless the signal is gone, and gives what was logged.
    Log fire()
    {
        log.clear();
        if (!dead)
            signal.fire(0);
        return log;
    }
    // Fires twice; a signal that died leaves no connection behind.
    void expectFires(const Log& first, const Log& second)
    {
        EXPECT_EQ(fire(), first);
        EXPECT_EQ(fire(), second);
        if (dead) {
            for (SignalClient* receiver : {&a.signalClient, &client, &c.signalClient})
                EXPECT_EQ(receiver->getNumConnections(), 0);
        }
    }

    Log log;
    bool dead = false;
    std::unique_ptr<Source> source = std::make_unique<Source>(dead);
    Signal<int>& signal = source->signal;
    SignalClient client;
    bool nested = false;
    Receiver a{1, log}, b{2, log}, c{3, log}, d{4, log};
    std::unique_ptr<Receiver> victim = std::make_unique<Receiver>(5, log);
};

TEST_F(SignalHazard, LambdaCutsItselfAndReadsItsOwnDataAfterwards)
{
    logger(1);
    tnRTB::connect(signal, &client, [this, owned = std::make_shared<Log>(Log{20, 21})](int) {
        client.disconnectAll();
        log.insert(log.end(), owned->begin(), owned->end());
    });
    logger(3);
    expectFires({1, 20, 21, 3}, {1, 3});
}

TEST_F(SignalHazard, AnEarlierConnectionCutCountsFromTheNextEmission)
{
    b.action = [this](Receiver&) { a.signalClient.disconnectAll(); };
    connect({&a, &b, &c});
    expectFires({1, 2, 3}, {2, 3});
}

TEST_F(SignalHazard, CuttingEveryMatchFromInsideOneOfThem)
{
    a.action = [this](Receiver& self) { EXPECT_EQ(signal.disconnectInstance(&self), 3); };
    connect({&b, &a, &b});
    tnRTB::connect(signal, &a, &Receiver::onAgain);
    connect({&a});
    expectFires({2, 1, 2}, {2, 2});
}

TEST_F(SignalHazard, TheNextReceiverDestroyed)
{
    a.action = [this](Receiver&) { victim.reset(); };
    connect({&a, victim.get(), &c});
    expectFires({1, 3}, {1, 3});
}

TEST_F(SignalHazard, AListenerDeletingItself)
{
    logger(1);
    auto* self = new Receiver(99, log);
    self->action = [](Receiver& r) { delete &r; };
    tnRTB::connect(signal, self, &Receiver::on);
    logger(3);
    expectFires({1, 99, 3}, {1, 3});
}

TEST_F(SignalHazard, AConnectionMadeDuringAnEmissionWaitsForTheNextOne)
{
    logger(1);
    tnRTB::connect(signal, &client, [this](int) {
        log.push_back(2);
        logger(10 + static_cast<int>(signal.getNumConnections()));
    });
    logger(3);
    expectFires({1, 2, 3}, {1, 2, 3, 13});
}

TEST_F(SignalHazard, ANestedEmissionSeesANewConnectionTheOuterOneDoesNot)
{
    tnRTB::connect(signal, &client, [this](int depth) {
        log.push_back(depth == 0 ? 1 : 101);
        if (depth == 0) {
            logger(4);
            signal.fire(1);
        }
    });
    logger(2);
    logger(3);
    expectFires({1, 101, 2, 3, 4, 2, 3}, {1, 101, 2, 3, 4, 4, 2, 3, 4});
}

TEST_F(SignalHazard, ANestedEmissionCutsTheOuterCurrentAndNextConnections)
{
    a.action = [this](Receiver&) {
        if (!std::exchange(nested, true))
            signal.fire(1);
    };
    b.action = [this](Receiver&) {
        a.signalClient.disconnectAll();
        signal.disconnectInstance(&c);
    };
    connect({&a, &b, &c, &d});
    expectFires({1, 1, 2, 4, 2, 4}, {2, 4});
}

TEST_F(SignalHazard, BlockingAffectsTheConnectionsNotYetReached)
{
    a.action = [this](Receiver&) {
        signal.blockInstance(&c, true);
        signal.blockInstance(&a, true);
    };
    b.action = [this](Receiver&) { signal.blockInstance(&c, false); };
    connect({&a, &b, &c});
    expectFires({1, 2, 3}, {2, 3});
}

TEST_F(SignalHazard, ACutCallbacksDestructorDestroysTheReceiverAfterIt)
{
    a.action = [this](Receiver&) { client.disconnectAll(); };
    connect({&a});
    tnRTB::connect(signal, &client, [this, guard = onDestroy([this] { victim.reset(); })](int) { log.push_back(2); });
    connect({victim.get(), &d});
    expectFires({1, 4}, {1, 4});
}

TEST_F(SignalHazard, ACallbackCutsItselfAndItsDestructorDestroysTheNextReceiver)
{
    logger(1);
    tnRTB::connect(signal, &client, [this, guard = onDestroy([this] { victim.reset(); })](int) {
        log.push_back(2);
        client.disconnectAll();
    });
    connect({victim.get(), &d});
    expectFires({1, 2, 4}, {1, 4});
}

TEST_F(SignalHazard, CutOutsideAnEmissionADestructorDestroysTheNextReceiver)
{
    tnRTB::connect(signal, &client, [guard = onDestroy([this] { victim.reset(); })](int) {});
    connect({victim.get()});
    logger(3);
    client.disconnectAll();
    EXPECT_FALSE(victim);
    expectFires({3}, {3});
}

TEST_F(SignalHazard, DestroyingTheSourceStopsTheEmission)
{
    connect({&a});
    tnRTB::connect(signal, &client, [this, owned = std::make_shared<int>(42)](int) {
        source.reset();
        log.push_back(*owned); // the running callback outlives its signal
    });
    connect({&c});
    expectFires({1, 42}, {});
}

TEST_F(SignalHazard, DestroyingTheSourceInANestedEmissionStopsBoth)
{
    a.action = [this](Receiver&) {
        if (!std::exchange(nested, true))
            signal.fire(1);
    };
    b.action = [this](Receiver&) { source.reset(); };
    connect({&a, &b, &c});
    expectFires({1, 1, 2}, {});
}

TEST_F(SignalHazard, ACutCallbackThatOwnsTheSourceDestroysIt)
{
    tnRTB::connect(signal, &a.signalClient, [this](int) {
        log.push_back(1);
        client.disconnectAll();
        log.push_back(11);
    });
    tnRTB::connect(signal, &client, [owned = std::shared_ptr<Source>(std::move(source))](int) {});
    logger(3);
    expectFires({1, 11}, {});
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

TEST_F(SignalHazard, ExceptionsEndTheEmissionAndLeaveConnectionsUsable)
{
    bool fail = true;
    logger(1, &client);
    tnRTB::connect(signal, &client, [&](int v) {
        log.push_back(2);
        if (v == 0)
            signal.fire(1); // the exception unwinds the nested emission too
        else if (fail)
            throw v;
    });
    logger(3, &client);
    EXPECT_THROW(fire(), int);
    EXPECT_EQ(log, (Log{1, 2, 1, 2}));
    EXPECT_EQ(signal.getNumConnections(), 3);
    fail = false;
    EXPECT_EQ(fire(), (Log{1, 2, 1, 2, 3, 3}));
    client.disconnectAll();
    EXPECT_TRUE(signal.isEmpty());

    // A callback that cuts itself and throws: the unwinding frees its
    // connection. Then one that destroys the source and throws.
    tnRTB::connect(signal, &client, [&](int) {
        client.disconnectAll();
        throw 1;
    });
    logger(2);
    EXPECT_THROW(fire(), int);
    EXPECT_EQ(signal.getNumConnections(), 1);
    tnRTB::connect(signal, &client, [&](int) {
        source.reset();
        throw 3;
    });
    logger(4);
    EXPECT_THROW(fire(), int);
    EXPECT_EQ(log, Log{2});
    EXPECT_TRUE(dead && client.getNumConnections() == 0);
}

TEST(Signal, DyingReceiversAndSignalsWithManyConnections)
{
    Log log;
    Signal<int> s1, s2, s3;
    Receiver other(7, log);
    {
        Receiver r(1, log);
        for (Signal<int>* s : {&s1, &s2, &s3}) {
            tnRTB::connect(*s, &r, &Receiver::on);
            tnRTB::connect(*s, &other, &Receiver::on);
            tnRTB::connect(*s, &r, &Receiver::onAgain);
        }
        EXPECT_EQ(r.signalClient.getNumConnections(), 6);
        Signal<int> dying;
        for (int i = 0; i < 3; ++i)
            tnRTB::connect(dying, &other, &Receiver::on);
    }
    for (Signal<int>* s : {&s1, &s2, &s3}) {
        EXPECT_EQ(s->getNumConnections(), 1);
        s->fire(0);
    }
    EXPECT_EQ(std::tuple(log, other.signalClient.getNumConnections()), std::tuple(Log{7, 7, 7}, 3));
}

TEST_F(SignalHazard, BlockAndDisconnectInstance)
{
    connect({&a, &b});
    tnRTB::connect(signal, &a, &Receiver::onAgain);
    // Blocks count up and down; fired twice while a is blocked.
    Log changed{signal.blockInstance(&a, true), signal.blockInstance(&a, true)};
    signal.fire(0);
    changed.push_back(signal.blockInstance(&a, false));
    signal.fire(0);
    EXPECT_EQ(log, (Log{2, 2}));
    // The last one finds nothing blocked to lower.
    for (Receiver* r : {&a, &a, static_cast<Receiver*>(nullptr)})
        changed.push_back(signal.blockInstance(r, r == nullptr));
    EXPECT_EQ(changed, (Log{2, 2, 2, 2, 0, 0}));
    EXPECT_EQ(fire(), (Log{1, 2, 1}));

    // Blocked connections still count and are still cut; a lambda recorded
    // with a's client is no instance of a.
    signal.blockInstance(&b, true);
    logger(5, &a.signalClient);
    EXPECT_EQ(signal.getNumConnections(), 4);
    Log cut;
    for (Receiver* r : {&b, static_cast<Receiver*>(nullptr), &a, &a})
        cut.push_back(signal.disconnectInstance(r));
    EXPECT_EQ(cut, (Log{1, 0, 2, 0}));
    EXPECT_EQ(std::tuple(a.signalClient.getNumConnections(), b.signalClient.getNumConnections()), std::tuple(1, 0));
    EXPECT_EQ(fire(), Log{5});
}

TEST(Signal, CallbackDestructorsDuringCuts)
{
    Log log;
    {
        // A destructor run by the signal's death destroys a receiver of this
        // and another signal, and cuts a further connection of this signal.
        auto victim = std::make_unique<Receiver>(2, log);
        SignalClient chainClient;
        Receiver survivor(3, log);
        Signal<int> other;
        tnRTB::connect(other, &survivor, &Receiver::on);
        {
            Signal<int> signal;
            tnRTB::connect(signal, nullptr, [guard = onDestroy([&] {
                                                 victim.reset();
                                                 chainClient.disconnectAll();
                                             })](int) {});
            tnRTB::connect(signal, victim.get(), &Receiver::on);
            tnRTB::connect(other, victim.get(), &Receiver::on);
            tnRTB::connect(signal, &chainClient, [](int) {});
            tnRTB::connect(signal, &survivor, &Receiver::on);
        }
        EXPECT_TRUE(!victim && survivor.signalClient.getNumConnections() == 1);
        other.fire(0);
        EXPECT_EQ(log, Log{3});
    }
    {
        // Cut first by disconnectAll, a destructor cuts a connection still
        // waiting in the same receiver's list.
        Signal<int> s1, s2;
        SignalClient client, other;
        tnRTB::connect(s2, &other, [](int) {});
        tnRTB::connect(s2, &client, [](int) {});
        tnRTB::connect(s1, &client, [](int) {});
        tnRTB::connect(s1, &client, [guard = onDestroy([&] { s2.disconnectAll(); })](int) {});
        client.disconnectAll();
        EXPECT_EQ(client.getNumConnections() + other.getNumConnections(), 0);
        EXPECT_TRUE(s1.isEmpty() && s2.isEmpty());
    }
    {
        // The only owner of the source is a callback on its own signal: the
        // signal dies under the cut, cutting the receiver's other connection.
        bool dead = false;
        auto source = std::make_unique<Source>(dead);
        Source* raw = source.get();
        SignalClient client, others;
        tnRTB::connect(raw->signal, &others, [](int) {});
        tnRTB::connect(raw->signal, &client, [](int) {});
        tnRTB::connect(raw->signal, &client, [owned = std::shared_ptr<Source>(std::move(source))](int) {});
        client.disconnectAll();
        EXPECT_TRUE(dead);
        EXPECT_EQ(client.getNumConnections() + others.getNumConnections(), 0);
    }
    {
        // A destructor destroys the receiver whose disconnectAll runs.
        Signal<int> s1, s2;
        auto receiver = std::make_unique<Receiver>(1, log);
        tnRTB::connect(s1, receiver.get(), &Receiver::on);
        tnRTB::connect(s2, receiver.get(), &Receiver::onAgain);
        tnRTB::connect(s1, &receiver->signalClient, [guard = onDestroy([&receiver] { receiver.reset(); })](int) {});
        receiver->signalClient.disconnectAll();
        EXPECT_TRUE(!receiver && s1.isEmpty() && s2.isEmpty());
    }
    {
        // The first cut starts a second disconnectAll on the same receiver,
        // whose first cut destroys the receiver: both loops must stop.
        Signal<int> signal;
        auto client = std::make_unique<SignalClient>();
        SignalClient* raw = client.get();
        tnRTB::connect(signal, raw, [guard = onDestroy([&client] { client.reset(); })](int) {});
        tnRTB::connect(signal, raw, [](int) {});
        tnRTB::connect(signal, raw, [guard = onDestroy([raw] { raw->disconnectAll(); })](int) {});
        raw->disconnectAll();
        EXPECT_TRUE(!client && signal.isEmpty());
    }
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
    tnRTB::connect(signal, &b, &Receiver::on);
    tnRTB::connect(signal, &c, &Receiver::onAgain);
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
    signal.blockInstance(&b, true);

    const long before = g_allocations;
    signal.fire(2);
    bare.fire();
    // Three emissions of four, and two for bare.
    EXPECT_EQ(std::tuple(g_allocations - before, log.size()), std::tuple(0l, 14ul));
}

} // namespace
