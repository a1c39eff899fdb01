// Entities and messages: cause chains and their refusals, a watched member
// resending with its own type, destruction notices, the live-entity count and
// type names. Forwarding, cycles and deaths during an emission are the signal
// fuzzer's (its seeds in fuzz/corpus/signal_fuzzer).

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <vector>

using tnUI::CycleError;
using tnUI::Entity;
using tnUI::Message;

namespace {

using tnUITest::Chain;
using tnUITest::MessageRecorder;

// An entity that exposes the protected operations a derived class uses.
class Thing : public Entity {
public:
    using Entity::removeSignal;

    void announce(Message::Type t)
    {
        Message m(this, t);
        sendMessage(m);
    }
    // A watched-member method: resends what it hears as "Appearance".
    void appearanceChanged(Message& m) { resendMessage(m, Message::Appearance); }
};

// Counts the destruction notices of the entities it watches.
class Watcher : public Entity {
public:
    int notices = 0;

    void watch(const Entity* e)
    {
        e->destroyedSignal.addCallback(new tnRTB::FunctionArgMember<Entity*, Watcher>(this, &Watcher::notice),
                                       &signalClient);
    }
    void notice(Entity*) { ++notices; }
};

class EntityCoreTest : public tnUITest::EntityTest {};

TEST_F(EntityCoreTest, MessageChains)
{
    tn::Reference<Thing> a(new Thing), b(new Thing), c(new Thing);
    Message root(a, Message::Value);
    EXPECT_TRUE(root.isRoot());
    EXPECT_EQ(root.getRoot(), &root);
    EXPECT_FALSE(root.entityPresent(b));
    EXPECT_FALSE(root.entityPresent(nullptr));
    Message fromB(b, root, Message::Forward);
    Message fromC(c, fromB, Message::State);
    EXPECT_FALSE(fromC.isRoot());
    EXPECT_EQ(fromC.getRoot(), &root);
    EXPECT_TRUE(fromC.entityPresent(a) && fromC.entityPresent(b) && fromC.entityPresent(c));
    EXPECT_FALSE(fromB.entityPresent(c)); // the chain runs towards the root only
    const Message copy(fromC);
    EXPECT_EQ((tnUITest::Link{copy.getEntity(), copy.getType()}), (tnUITest::Link{c, Message::State}));
    EXPECT_EQ(copy.causedBy(), &fromB);

    // An entity already in the chain cannot add to it, wherever it sits.
    for (Thing* t : {a.get(), b.get(), c.get()})
        EXPECT_THROW(Message(t, fromC, Message::Forward), CycleError);
    EXPECT_THROW(Message(nullptr, Message::Value), tnUI::NullError);
    EXPECT_THROW(Message(nullptr, root, Message::Forward), tnUI::NullError);
}

// Chains far deeper than a menu's, built as forwarding builds them: every
// message whose sender is already in its chain is refused, and only those,
// whether the repeat sits near the root or deep down, and whether the deeper
// messages of an earlier branch still exist or are gone.
TEST_F(EntityCoreTest, DeepChainsRefuseExactlyTheirCycles)
{
    std::vector<tn::Reference<Thing>> things;
    for (int i = 0; i < 30; ++i)
        things.emplace_back(new Thing);
    std::uint32_t seed = 7;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    for (int round = 0; round < 200; ++round) {
        // A chain of distinct senders, 1 to 24 messages deep, kept alive.
        std::vector<std::unique_ptr<Message>> chain;
        std::vector<const Thing*> senders;
        const auto depth = 1 + next(24);
        while (chain.size() < depth) {
            Thing* t = things[next(30)].get();
            const bool repeat = std::find(senders.begin(), senders.end(), t) != senders.end();
            if (chain.empty()) {
                chain.push_back(std::make_unique<Message>(t, Message::Value));
            } else if (repeat) {
                EXPECT_THROW(Message(t, *chain.back(), Message::Forward), CycleError);
                continue;
            } else {
                chain.push_back(std::make_unique<Message>(t, *chain.back(), Message::Forward));
            }
            senders.push_back(t);
            // A side branch from a random message, dropped at once.
            const auto at = next(static_cast<std::uint32_t>(chain.size()));
            Thing* other = things[next(30)].get();
            const bool inPrefix = std::find(senders.begin(), senders.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                            other) != senders.begin() + static_cast<std::ptrdiff_t>(at) + 1;
            if (inPrefix)
                EXPECT_THROW(Message(other, *chain[at], Message::Forward), CycleError);
            else
                EXPECT_NO_THROW(Message(other, *chain[at], Message::Forward));
        }
        EXPECT_EQ(chain.back()->getRoot(), chain.front().get());
    }
}

TEST_F(EntityCoreTest, WatchedMemberResendsWithItsOwnType)
{
    tn::Reference<Thing> a(new Thing), b(new Thing);
    tnRTB::connect(a->messageSignal, b.get(), &Thing::appearanceChanged);
    MessageRecorder atB(b);
    a->announce(Message::Value);
    EXPECT_EQ(atB.chains, std::vector<Chain>{(Chain{{b, Message::Appearance}, {a, Message::Value}})});
    // removeSignal cuts it although it is not forwardMessage.
    b->removeSignal(a);
    EXPECT_TRUE(a->messageSignal.isEmpty());
}

TEST_F(EntityCoreTest, DestroyedSignalAndLiveCount)
{
    const std::int32_t start = Entity::numberOfActiveObjects();
    tn::Reference<Watcher> watcher(new Watcher);
    std::vector<Entity*> seen;
    tnRTB::SignalClient client;
    Entity* address = nullptr;
    {
        tn::Reference<Thing> a(new Thing), b(new Thing);
        EXPECT_EQ(Entity::numberOfActiveObjects(), start + 3);
        address = a.get();
        watcher->watch(a);
        tnRTB::connect(a->destroyedSignal, &client, [&](Entity* e) {
            seen.push_back(e);
            // The derived parts are gone, the entity part is not yet.
            EXPECT_STREQ(e->getTypeName().asChar(), "tnUI::Entity");
        });
        // A watcher dying first is not called.
        tn::Reference<Watcher> early(new Watcher);
        early->watch(a);
    }
    EXPECT_EQ(Entity::numberOfActiveObjects(), start + 1);
    EXPECT_EQ(seen, std::vector<Entity*>{address});
    EXPECT_EQ(watcher->notices, 1);
    EXPECT_EQ(watcher->signalClient.getNumConnections() + client.getNumConnections(), 0);
}

} // namespace
