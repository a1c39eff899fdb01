// Signals under hazard: callbacks that cut, add, block, re-emit, throw and
// destroy receivers, other callbacks or the signal itself while an emission
// runs. The sanitizer build turns every dangling access and leak into a
// failure, so many tests only need to run the scenario and check the order of
// the calls.

#include <tnUI/foundation/Signal.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

// Every allocation of the program goes through these, so that a test can
// count the allocations made by a piece of code.
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
void* operator new[](std::size_t size)
{
    return countedAllocation(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using tnRTB::Signal;
using tnRTB::SignalClient;
using Log = std::vector<int>;

// A listener with a member callback; its signalClient cuts its connections
// when it dies. on() logs the id, then runs the scripted action, if any.
struct Receiver {
    explicit Receiver(int id, Log& log) : id(id), log(log) {}
    SignalClient signalClient;
    int id;
    Log& log;
    std::function<void(Receiver&)> action;

    void on(int) { run(); }
    void onAgain(int) { run(); }
    void onVoid() { run(); }

private:
    void run()
    {
        log.push_back(id);
        if (action)
            action(*this);
    }
};

// A listener that deletes itself from its own callback.
struct SelfDeleting {
    explicit SelfDeleting(Log& log) : log(log) {}
    SignalClient signalClient;
    Log& log;
    void on(int)
    {
        log.push_back(99);
        delete this;
    }
};

// An object that owns a signal, as an entity owns its signals.
struct Source {
    Signal<int> signal;
};

// Runs a function when destroyed: captured by a callback, it makes the
// callback's destructor do something.
struct OnDestroy {
    explicit OnDestroy(std::function<void()> f) : f(std::move(f)) {}
    OnDestroy(const OnDestroy&) = delete;
    OnDestroy& operator=(const OnDestroy&) = delete;
    ~OnDestroy() { f(); }
    std::function<void()> f;
};

struct Thrown {
    int id;
};

// Connects a lambda that logs id, recorded with client.
void logger(Signal<int>& s, SignalClient* client, Log& log, int id)
{
    tnRTB::connect(s, client, [&log, id](int) { log.push_back(id); });
}

TEST(Signal, CallsConnectionsInOrderWithTheArgument)
{
    Signal<int, const std::string&> signal;
    std::vector<std::string> seen;
    SignalClient client;
    for (int id = 1; id <= 3; ++id)
        tnRTB::connect(signal, &client, [&seen, id](int v, const std::string& s) {
            seen.push_back(std::to_string(id) + ":" + std::to_string(v) + s);
        });
    signal.fire(7, "x");
    EXPECT_EQ(seen, (std::vector<std::string>{"1:7x", "2:7x", "3:7x"}));
    EXPECT_EQ(signal.getNumConnections(), 3);
    EXPECT_EQ(client.getNumConnections(), 3);
}

TEST(Signal, NullCallbackIsIgnoredAndNullReceiverIsCutOnlyBySignal)
{
    Log log;
    {
        Signal<int> signal;
        signal.addCallback(nullptr, nullptr);
        EXPECT_TRUE(signal.isEmpty());
        logger(signal, nullptr, log, 1);
        signal.fire(0);
        EXPECT_EQ(signal.getNumConnections(), 1);
    } // the signal's death frees the receiver-less connection
    EXPECT_EQ(log, Log{1});
}

TEST(Signal, CallbackDisconnectingItselfFinishesAndIsNotCalledAgain)
{
    Signal<int> signal;
    Log log;
    SignalClient self, others;
    logger(signal, &others, log, 1);
    // The lambda owns data that it reads after cutting itself: the connection
    // must stay alive until the callback returns.
    auto owned = std::make_shared<std::vector<int>>(std::vector<int>{20, 21});
    tnRTB::connect(signal, &self, [&log, &self, owned](int) {
        self.disconnectAll();
        for (int v : *owned)
            log.push_back(v);
    });
    logger(signal, &others, log, 3);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 20, 21, 3}));
    EXPECT_EQ(owned.use_count(), 1); // the cut callback was deleted after it returned
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 3}));
    EXPECT_EQ(signal.getNumConnections(), 2);
    EXPECT_EQ(self.getNumConnections(), 0);
}

TEST(Signal, MemberCallbackDisconnectingItselfByInstance)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log), c(3, log);
    b.action = [&signal](Receiver& r) { EXPECT_EQ(signal.disconnectInstance(&r), 1); };
    for (Receiver* r : {&a, &b, &c})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3, 1, 3}));
}

TEST(Signal, CuttingALaterConnectionSkipsItInTheSameEmission)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log), c(3, log);
    a.action = [&signal, &b](Receiver&) { signal.disconnectInstance(&b); };
    for (Receiver* r : {&a, &b, &c})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 3}));
    EXPECT_EQ(b.signalClient.getNumConnections(), 0);
}

TEST(Signal, CuttingAnEarlierConnectionTakesEffectFromTheNextEmission)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log), c(3, log);
    b.action = [&a](Receiver&) { a.signalClient.disconnectAll(); };
    for (Receiver* r : {&a, &b, &c})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3}));
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{2, 3}));
}

TEST(Signal, ConnectionMadeDuringEmissionIsCalledFromTheNextOne)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    int added = 0;
    logger(signal, &client, log, 1);
    tnRTB::connect(signal, &client, [&](int) {
        log.push_back(2);
        ++added;
        logger(signal, &client, log, 10 + added);
    });
    logger(signal, &client, log, 3);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3}));
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3, 11}));
    EXPECT_EQ(signal.getNumConnections(), 5);
}

TEST(Signal, NestedEmissionStartedAfterAConnectSeesItButTheOuterDoesNot)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    tnRTB::connect(signal, &client, [&](int depth) {
        log.push_back(depth == 0 ? 1 : 101);
        if (depth == 0) {
            logger(signal, &client, log, 4);
            signal.fire(1);
        }
    });
    logger(signal, &client, log, 2);
    logger(signal, &client, log, 3);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 101, 2, 3, 4, 2, 3}));
}

TEST(Signal, ReentrantEmissionRunsDepthFirst)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    tnRTB::connect(signal, &client, [&](int v) {
        log.push_back(10 + v);
        if (v > 0)
            signal.fire(v - 1);
    });
    tnRTB::connect(signal, &client, [&](int v) { log.push_back(20 + v); });
    signal.fire(2);
    EXPECT_EQ(log, (Log{12, 11, 10, 20, 21, 22}));
}

TEST(Signal, NestedEmissionCuttingTheOuterCurrentAndNextConnections)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log), c(3, log), d(4, log);
    bool nested = false;
    a.action = [&](Receiver&) {
        if (!std::exchange(nested, true))
            signal.fire(1);
    };
    // Inside the nested emission b cuts a (running in the outer one) and c
    // (next for the outer one).
    b.action = [&](Receiver&) {
        a.signalClient.disconnectAll();
        signal.disconnectInstance(&c);
    };
    for (Receiver* r : {&a, &b, &c, &d})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 1, 2, 4, 2, 4}));
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{2, 4}));
}

TEST(Signal, DeletingTheNextReceiverSkipsIt)
{
    Signal<int> signal;
    Log log;
    auto a = std::make_unique<Receiver>(1, log);
    auto b = std::make_unique<Receiver>(2, log);
    auto c = std::make_unique<Receiver>(3, log);
    a->action = [&b](Receiver&) { b.reset(); };
    for (Receiver* r : {a.get(), b.get(), c.get()})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 3}));
    EXPECT_EQ(signal.getNumConnections(), 2);
}

TEST(Signal, ListenerDeletingItselfInItsCallback)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    logger(signal, &client, log, 1);
    auto* self = new SelfDeleting(log);
    tnRTB::connect(signal, self, &SelfDeleting::on);
    logger(signal, &client, log, 3);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 99, 3}));
    EXPECT_EQ(signal.getNumConnections(), 2);
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 3}));
}

TEST(Signal, DestroyingTheSourceStopsTheEmission)
{
    Log log;
    auto source = std::make_unique<Source>();
    Receiver a(1, log), c(3, log);
    SignalClient b;
    tnRTB::connect(source->signal, &a, &Receiver::on);
    auto owned = std::make_shared<int>(42);
    tnRTB::connect(source->signal, &b, [&log, &source, owned](int) {
        source.reset();
        log.push_back(*owned); // the running callback outlives its signal
    });
    tnRTB::connect(source->signal, &c, &Receiver::on);
    source->signal.fire(0);
    EXPECT_EQ(log, (Log{1, 42}));
    EXPECT_EQ(owned.use_count(), 1);
    for (SignalClient* client : {&a.signalClient, &b, &c.signalClient})
        EXPECT_EQ(client->getNumConnections(), 0);
}

TEST(Signal, DestroyingTheSourceInANestedEmissionStopsBothEmissions)
{
    Log log;
    auto source = std::make_unique<Source>();
    Receiver a(1, log), b(2, log), c(3, log);
    bool nested = false;
    a.action = [&](Receiver&) {
        if (!std::exchange(nested, true))
            source->signal.fire(1);
    };
    b.action = [&source](Receiver&) { source.reset(); };
    for (Receiver* r : {&a, &b, &c})
        tnRTB::connect(source->signal, r, &Receiver::on);
    source->signal.fire(0);
    EXPECT_EQ(log, (Log{1, 1, 2}));
    EXPECT_EQ(a.signalClient.getNumConnections(), 0);
}

TEST(Signal, ExceptionEndsTheEmissionAndLeavesConnectionsUsable)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    bool fail = true;
    logger(signal, &client, log, 1);
    tnRTB::connect(signal, &client, [&](int) {
        log.push_back(2);
        if (fail)
            throw Thrown{2};
    });
    logger(signal, &client, log, 3);
    try {
        signal.fire(0);
        ADD_FAILURE() << "the exception did not reach the emitter";
    } catch (const Thrown& t) {
        EXPECT_EQ(t.id, 2);
    }
    EXPECT_EQ(log, (Log{1, 2}));
    EXPECT_EQ(signal.getNumConnections(), 3);
    fail = false;
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3}));
    // A further connection and a cut still work on the list after an unwind.
    logger(signal, &client, log, 4);
    client.disconnectAll();
    EXPECT_TRUE(signal.isEmpty());
}

TEST(Signal, ExceptionFromANestedEmissionUnwindsBoth)
{
    Signal<int> signal;
    Log log;
    SignalClient client;
    tnRTB::connect(signal, &client, [&](int v) {
        log.push_back(10 + v);
        if (v == 0)
            signal.fire(1);
    });
    tnRTB::connect(signal, &client, [&](int v) {
        log.push_back(20 + v);
        if (v == 1)
            throw Thrown{v};
    });
    logger(signal, &client, log, 3);
    EXPECT_THROW(signal.fire(0), Thrown);
    EXPECT_EQ(log, (Log{10, 11, 21}));
    log.clear();
    signal.fire(2);
    EXPECT_EQ(log, (Log{12, 22, 3}));
}

TEST(Signal, ExceptionAfterCuttingItselfOrDestroyingTheSource)
{
    Log log;
    auto source = std::make_unique<Source>();
    SignalClient client;
    // First callback: cuts itself, then throws; its connection must be freed
    // by the unwinding (the leak checker watches).
    tnRTB::connect(source->signal, &client, [&](int) {
        client.disconnectAll();
        throw Thrown{1};
    });
    logger(source->signal, nullptr, log, 2);
    EXPECT_THROW(source->signal.fire(0), Thrown);
    EXPECT_EQ(source->signal.getNumConnections(), 1);
    // Then a callback that destroys the source and throws.
    tnRTB::connect(source->signal, &client, [&](int) {
        source.reset();
        throw Thrown{3};
    });
    logger(source->signal, nullptr, log, 4);
    EXPECT_THROW(source->signal.fire(0), Thrown);
    EXPECT_EQ(log, Log{2});
    EXPECT_FALSE(source);
    EXPECT_EQ(client.getNumConnections(), 0);
}

TEST(Signal, ReceiverConnectedToManySignalsDies)
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
    }
    for (Signal<int>* s : {&s1, &s2, &s3}) {
        EXPECT_EQ(s->getNumConnections(), 1);
        s->fire(0);
    }
    EXPECT_EQ(log, (Log{7, 7, 7}));
    EXPECT_EQ(other.signalClient.getNumConnections(), 3);
}

TEST(Signal, ReceiverConnectedToManySignalsDiesDuringAnEmissionOfOne)
{
    Log log;
    Signal<int> s1, s2;
    auto r = std::make_unique<Receiver>(1, log);
    Receiver killer(2, log), last(3, log);
    killer.action = [&r](Receiver&) { r.reset(); };
    tnRTB::connect(s1, &killer, &Receiver::on);
    for (Signal<int>* s : {&s1, &s2})
        tnRTB::connect(*s, r.get(), &Receiver::on);
    tnRTB::connect(s1, &last, &Receiver::on);
    tnRTB::connect(s2, &last, &Receiver::on);
    s1.fire(0);
    s2.fire(0);
    EXPECT_EQ(log, (Log{2, 3, 3}));
}

TEST(Signal, SourceConnectedToManyReceiversDies)
{
    Log log;
    Receiver a(1, log), b(2, log);
    Signal<int> kept;
    tnRTB::connect(kept, &a, &Receiver::on);
    {
        Signal<int> dying;
        for (int i = 0; i < 3; ++i) {
            tnRTB::connect(dying, &a, &Receiver::on);
            tnRTB::connect(dying, &b, &Receiver::on);
        }
        EXPECT_EQ(a.signalClient.getNumConnections(), 4);
    }
    EXPECT_EQ(a.signalClient.getNumConnections(), 1);
    EXPECT_EQ(b.signalClient.getNumConnections(), 0);
    kept.fire(0);
    EXPECT_EQ(log, Log{1});
}

TEST(Signal, BlockInstanceCountsBlocksAndSkipsBlockedConnections)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log);
    tnRTB::connect(signal, &a, &Receiver::on);
    tnRTB::connect(signal, &b, &Receiver::on);
    tnRTB::connect(signal, &a, &Receiver::onAgain);

    EXPECT_EQ(signal.blockInstance(&a, true), 2);
    EXPECT_EQ(signal.blockInstance(&a, true), 2);
    signal.fire(0);
    EXPECT_EQ(signal.blockInstance(&a, false), 2);
    signal.fire(0); // still blocked once
    EXPECT_EQ(log, (Log{2, 2}));
    EXPECT_EQ(signal.blockInstance(&a, false), 2);
    EXPECT_EQ(signal.blockInstance(&a, false), 0); // not blocked: nothing to lower
    EXPECT_EQ(signal.blockInstance(nullptr, true), 0);
    log.clear();
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 1}));

    // Blocked connections still count and are still cut.
    signal.blockInstance(&b, true);
    EXPECT_EQ(signal.getNumConnections(), 3);
    EXPECT_EQ(signal.disconnectInstance(&b), 1);
    EXPECT_EQ(b.signalClient.getNumConnections(), 0);
}

TEST(Signal, BlockingDuringEmissionAffectsConnectionsNotYetReached)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log), c(3, log);
    a.action = [&](Receiver&) {
        signal.blockInstance(&c, true);
        signal.blockInstance(&a, true);
    };
    b.action = [&](Receiver&) { signal.blockInstance(&c, false); };
    for (Receiver* r : {&a, &b, &c})
        tnRTB::connect(signal, r, &Receiver::on);
    signal.fire(0);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 3, 2, 3}));
}

TEST(Signal, DisconnectInstanceCutsEveryMatch)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log);
    tnRTB::connect(signal, &a, &Receiver::on);
    tnRTB::connect(signal, &b, &Receiver::on);
    tnRTB::connect(signal, &a, &Receiver::onAgain);
    tnRTB::connect(signal, &a, &Receiver::on);
    logger(signal, &a.signalClient, log, 5); // a lambda is no instance of a
    EXPECT_EQ(signal.disconnectInstance(nullptr), 0);
    EXPECT_EQ(signal.disconnectInstance(&a), 3);
    EXPECT_EQ(signal.disconnectInstance(&a), 0);
    EXPECT_EQ(signal.getNumConnections(), 2);
    EXPECT_EQ(a.signalClient.getNumConnections(), 1);
    signal.fire(0);
    EXPECT_EQ(log, (Log{2, 5}));
}

TEST(Signal, DisconnectInstanceFromInsideACallbackCutsItselfAndLaterMatches)
{
    Signal<int> signal;
    Log log;
    Receiver a(1, log), b(2, log);
    a.action = [&signal](Receiver& r) { EXPECT_EQ(signal.disconnectInstance(&r), 3); };
    tnRTB::connect(signal, &b, &Receiver::on);
    tnRTB::connect(signal, &a, &Receiver::on);
    tnRTB::connect(signal, &b, &Receiver::on);
    tnRTB::connect(signal, &a, &Receiver::onAgain);
    tnRTB::connect(signal, &a, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{2, 1, 2}));
    EXPECT_EQ(a.signalClient.getNumConnections(), 0);
}

// A callback owning an object whose destructor destroys another receiver.
TEST(Signal, CallbackDestructorDestroyingTheNextReceiverWhenCutDirectly)
{
    Signal<int> signal;
    Log log;
    auto victim = std::make_unique<Receiver>(2, log);
    SignalClient owner;
    tnRTB::connect(signal, &owner, [&log, guard = std::make_shared<OnDestroy>([&victim] { victim.reset(); })](int) {
        log.push_back(1);
    });
    tnRTB::connect(signal, victim.get(), &Receiver::on);
    logger(signal, nullptr, log, 3);
    owner.disconnectAll();
    EXPECT_FALSE(victim);
    EXPECT_EQ(signal.getNumConnections(), 1);
    signal.fire(0);
    EXPECT_EQ(log, Log{3});
}

TEST(Signal, CallbackDestructorCuttingConnectionsDuringEmission)
{
    Signal<int> signal;
    Log log;
    auto victim = std::make_unique<Receiver>(3, log);
    Receiver a(1, log), d(4, log);
    SignalClient second;
    // a cuts the second connection, whose callback's destructor destroys the
    // third connection's receiver: both are skipped.
    a.action = [&second](Receiver&) { second.disconnectAll(); };
    tnRTB::connect(signal, &a, &Receiver::on);
    tnRTB::connect(signal, &second, [&log, guard = std::make_shared<OnDestroy>([&victim] { victim.reset(); })](int) {
        log.push_back(2);
    });
    tnRTB::connect(signal, victim.get(), &Receiver::on);
    tnRTB::connect(signal, &d, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 4}));
    EXPECT_FALSE(victim);
}

TEST(Signal, RunningCallbackCutsItselfAndItsDestructorDestroysTheNextReceiver)
{
    Signal<int> signal;
    Log log;
    auto victim = std::make_unique<Receiver>(3, log);
    Receiver d(4, log);
    SignalClient self;
    logger(signal, nullptr, log, 1);
    // The destructor runs once the callback has returned, when the emission
    // has already moved on to the victim's connection.
    tnRTB::connect(signal, &self,
                   [&log, &self, guard = std::make_shared<OnDestroy>([&victim] { victim.reset(); })](int) {
                       log.push_back(2);
                       self.disconnectAll();
                   });
    tnRTB::connect(signal, victim.get(), &Receiver::on);
    tnRTB::connect(signal, &d, &Receiver::on);
    signal.fire(0);
    EXPECT_EQ(log, (Log{1, 2, 4}));
    EXPECT_FALSE(victim);
    EXPECT_EQ(signal.getNumConnections(), 2);
}

TEST(Signal, CallbackDestructorsRunWhileTheSignalDies)
{
    Log log;
    auto victim = std::make_unique<Receiver>(2, log);
    SignalClient chainClient;
    Receiver survivor(3, log);
    Signal<int> other;
    tnRTB::connect(other, &survivor, &Receiver::on);
    {
        Signal<int> signal;
        // Its destructor destroys a receiver connected to this signal and to
        // another one, and cuts a further connection of this signal.
        tnRTB::connect(signal, nullptr, [guard = std::make_shared<OnDestroy>([&] {
                                             victim.reset();
                                             chainClient.disconnectAll();
                                         })](int) {});
        tnRTB::connect(signal, victim.get(), &Receiver::on);
        tnRTB::connect(other, victim.get(), &Receiver::on);
        logger(signal, &chainClient, log, 4);
        tnRTB::connect(signal, &survivor, &Receiver::on);
    }
    EXPECT_FALSE(victim);
    EXPECT_EQ(chainClient.getNumConnections(), 0);
    EXPECT_EQ(survivor.signalClient.getNumConnections(), 1);
    other.fire(0);
    EXPECT_EQ(log, Log{3});
}

TEST(Signal, CallbackDestructorCuttingAnotherConnectionOfTheSameReceiver)
{
    Signal<int> s1, s2;
    Log log;
    SignalClient client, other;
    tnRTB::connect(s2, &other, [](int) {});
    logger(s2, &client, log, 1);
    logger(s1, &client, log, 2);
    // Connected last, so the first that disconnectAll cuts: its destructor
    // cuts a connection still waiting in the receiver's list.
    tnRTB::connect(s1, &client, [guard = std::make_shared<OnDestroy>([&] { s2.disconnectAll(); })](int) {});
    client.disconnectAll();
    EXPECT_EQ(client.getNumConnections(), 0);
    EXPECT_EQ(other.getNumConnections(), 0);
    EXPECT_TRUE(s1.isEmpty());
    EXPECT_TRUE(s2.isEmpty());
}

TEST(Signal, CallbackDestructorDestroyingItsOwnSignal)
{
    Log log;
    auto source = std::make_unique<Source>();
    SignalClient client, others;
    // The only owner of the source is a callback connected to the source's
    // own signal: cutting it destroys the signal under the cut.
    // It is cut first, and the signal's death then cuts the receiver's other
    // connection while the receiver is still cutting its own.
    Source* raw = source.get();
    logger(raw->signal, &others, log, 1);
    logger(raw->signal, &client, log, 2);
    tnRTB::connect(raw->signal, &client, [owned = std::shared_ptr<Source>(std::move(source))](int) {});
    client.disconnectAll();
    EXPECT_EQ(client.getNumConnections(), 0);
    EXPECT_EQ(others.getNumConnections(), 0);
}

TEST(Signal, EmissionStopsWhenACutCallbackDestroysTheSignal)
{
    Log log;
    auto source = std::make_unique<Source>();
    Source* raw = source.get();
    SignalClient first, owner;
    tnRTB::connect(raw->signal, &first, [&](int) {
        log.push_back(1);
        owner.disconnectAll();
        log.push_back(11);
    });
    tnRTB::connect(raw->signal, &owner, [owned = std::shared_ptr<Source>(std::move(source))](int) {});
    logger(raw->signal, nullptr, log, 3);
    raw->signal.fire(0);
    EXPECT_EQ(log, (Log{1, 11}));
    EXPECT_EQ(first.getNumConnections(), 0);
}

TEST(Signal, CallbackDestructorDestroyingTheReceiverDuringItsDisconnectAll)
{
    Signal<int> s1, s2;
    Log log;
    auto receiver = std::make_unique<Receiver>(1, log);
    tnRTB::connect(s1, receiver.get(), &Receiver::on);
    tnRTB::connect(s2, receiver.get(), &Receiver::onAgain);
    // Connected last, so cut first: its destructor destroys the receiver
    // whose disconnectAll is running, with two connections still to cut.
    tnRTB::connect(s1, &receiver->signalClient,
                   [guard = std::make_shared<OnDestroy>([&receiver] { receiver.reset(); })](int) {});
    receiver->signalClient.disconnectAll();
    EXPECT_FALSE(receiver);
    EXPECT_TRUE(s1.isEmpty());
    EXPECT_TRUE(s2.isEmpty());
    s1.fire(0);
    EXPECT_TRUE(log.empty());
}

TEST(Signal, ReceiverDestroyedInsideNestedDisconnectAlls)
{
    Signal<int> signal;
    auto client = std::make_unique<SignalClient>();
    SignalClient* raw = client.get();
    // The first cut's destructor starts a second disconnectAll on the same
    // receiver, whose first cut destroys the receiver: both loops must stop.
    tnRTB::connect(signal, raw, [guard = std::make_shared<OnDestroy>([&client] { client.reset(); })](int) {});
    tnRTB::connect(signal, raw, [](int) {});
    tnRTB::connect(signal, raw, [guard = std::make_shared<OnDestroy>([raw] { raw->disconnectAll(); })](int) {});
    raw->disconnectAll();
    EXPECT_FALSE(client);
    EXPECT_TRUE(signal.isEmpty());
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
    tnRTB::connect(bare, &client, [&log] { log.push_back(-1); });
    signal.blockInstance(&b, true);

    const long before = g_allocations;
    signal.fire(2);
    bare.fire();
    const long after = g_allocations;
    EXPECT_EQ(after - before, 0);
    EXPECT_EQ(log.size(), 14u); // three emissions of four and two for bare
}

TEST(Signal, ConnectingAllocatesAndTheCounterSeesIt)
{
    // Guards the test above: the replaced operator new does count.
    Signal<int> signal;
    SignalClient client;
    const long before = g_allocations;
    tnRTB::connect(signal, &client, [](int) {});
    EXPECT_GT(g_allocations, before);
}

} // namespace
