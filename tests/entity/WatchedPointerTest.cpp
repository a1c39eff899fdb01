// Watched pointers: a dying target is forgotten before the owner's callback
// runs; each pointer, copy and move has a connection of its own; callbacks
// may release the owner, release other targets or watch anew.

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/WatchedPointer.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using tnUI::Entity;
using tnUI::WatchedPointer;
using Log = std::vector<std::string>;

class Target : public Entity {};

// Two pointers whose callbacks log what they saw and then run a reaction.
class Owner : public Entity {
public:
    explicit Owner(Log& log) : m_log(log)
    {
        first.setCallback<&Owner::firstLost>(this);
        second.setCallback<&Owner::secondLost>(this);
    }
    WatchedPointer<Target> first, second;
    std::function<void()> reaction;

private:
    void firstLost() { lost(first ? "first still set" : "first"); }
    void secondLost() { lost(second ? "second still set" : "second"); }
    void lost(const char* what)
    {
        m_log.emplace_back(what);
        if (reaction)
            std::exchange(reaction, nullptr)(); // may destroy this owner
    }
    Log& m_log;
};

class WatchedPointerTest : public tnUITest::EntityTest {
protected:
    static int watchers(const Target* t) { return t->destroyedSignal.getNumConnections(); }

    Log log;
};

// The object itself, out of the compiler's sight: self-assignment is tested.
constexpr auto itself = [](WatchedPointer<Target>& p) -> WatchedPointer<Target>& { return p; };

TEST_F(WatchedPointerTest, AssignmentsWatchTheCurrentTargetOnceEach)
{
    struct Case {
        const char* name;
        int first, second; // 0 null, 1 x, 2 y
        int onX, onY;
        Log whenXDies;
        std::function<void(Owner&, Target*, Target*)> act;
    };
    // clang-format off
    const Case cases[] = {
        {"assign", 1, 0, 1, 0, {"first"}, [](Owner& o, Target* x, Target*) { o.first = x; }},
        {"reassign", 2, 0, 0, 1, {}, [](Owner& o, Target* x, Target* y) { o.first = x, o.first = y; }},
        {"same again", 1, 0, 1, 0, {"first"}, [](Owner& o, Target* x, Target*) { o.first = x, o.first = x; }},
        {"reset", 0, 0, 0, 0, {}, [](Owner& o, Target* x, Target*) { o.first = x, o.first = nullptr; }},
        {"two on one, one moves on", 1, 2, 1, 1, {"first"},
         [](Owner& o, Target* x, Target* y) { o.first = x, o.second = x, o.second = y; }},
        {"copy", 1, 1, 2, 0, {"first", "second"},
         [](Owner& o, Target* x, Target*) { o.first = x, o.second = o.first; }},
        {"move", 0, 1, 1, 0, {"second"},
         [](Owner& o, Target* x, Target*) { o.first = x, o.second = std::move(o.first); }},
        {"self copy", 1, 0, 1, 0, {"first"},
         [](Owner& o, Target* x, Target*) { o.first = x, o.first = itself(o.first); }},
        {"self move", 1, 0, 1, 0, {"first"},
         [](Owner& o, Target* x, Target*) { o.first = x, o.first = std::move(itself(o.first)); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tn::Reference<Target> x(new Target), y(new Target);
        Target* const expected[] = {nullptr, x.get(), y.get()};
        Log seen;
        const tn::Reference<Owner> owner(new Owner(seen));
        c.act(*owner, x.get(), y.get());
        EXPECT_EQ(std::pair(owner->first.get(), owner->second.get()), std::pair(expected[c.first], expected[c.second]));
        EXPECT_EQ(std::pair(watchers(x.get()), watchers(y.get())), std::pair(c.onX, c.onY));
        x = nullptr;
        EXPECT_EQ(seen, c.whenXDies);
        EXPECT_TRUE(owner->first.get() != expected[1] && owner->second.get() != expected[1]); // forgotten
    }
}

TEST_F(WatchedPointerTest, CopiesAndMovesWatchOnTheirOwnWithoutTheCallback)
{
    tn::Reference<Target> a(new Target);
    const tn::Reference<Owner> owner(new Owner(log));
    owner->first = a.get();
    {
        const WatchedPointer<Target> copy(owner->first);
        EXPECT_EQ(std::pair(copy.get(), watchers(a.get())), std::pair(a.get(), 2));
    }
    EXPECT_EQ(watchers(a.get()), 1); // a destroyed pointer lets go
    WatchedPointer<Target> copy(owner->first);
    const WatchedPointer<Target> moved(std::move(copy));
    // NOLINTNEXTLINE(bugprone-use-after-move,clang-analyzer-cplusplus.Move): a moved-from pointer is null
    EXPECT_EQ(std::tuple(copy.get(), moved.get(), watchers(a.get())), std::tuple(nullptr, a.get(), 2));
    a = nullptr;
    EXPECT_EQ(moved.get(), nullptr);
    EXPECT_EQ(log, Log{"first"});
}

TEST_F(WatchedPointerTest, ACallbackMayReleaseItsOwnerOrOtherTargetsOrWatchAnew)
{
    // The owner dies in the first callback: the second pointer, on the same
    // target, is gone with it and never calls.
    tn::Reference<Target> a(new Target), b(new Target);
    tn::Reference<Owner> held(new Owner(log));
    held->first = a.get();
    held->second = a.get();
    held->reaction = [&held] { held = nullptr; };
    a = nullptr;
    EXPECT_EQ(log, Log{"first"});

    // A target released from a callback is forgotten in turn; a pointer
    // given a new target from its callback watches it.
    log.clear();
    const tn::Reference<Owner> other(new Owner(log));
    tn::Reference<Target> c(new Target);
    other->first = b.get();
    other->second = c.get();
    other->reaction = [&] {
        c = nullptr;
        other->first = a = new Target;
    };
    b = nullptr;
    EXPECT_EQ(log, (Log{"first", "second"}));
    EXPECT_EQ(std::tuple(other->first.get(), other->second.get(), watchers(a.get())), std::tuple(a.get(), nullptr, 1));
}

} // namespace
