// Entities and messages: cause chains and their refusals, a watched member
// resending with its own type, destruction notices, the live-entity count and
// type names. Forwarding, cycles and deaths during an emission are the signal
// fuzzer's (its seeds in fuzz/corpus/signal_fuzzer).

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

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
