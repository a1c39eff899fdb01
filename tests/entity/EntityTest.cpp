// Entities, messages and their signals: cause chains, forwarding, the cycle
// guard, connections cut from either side, destruction notices and the
// live-entity count, including entities that die while their own messages
// are being delivered.

#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>
#include <tnUI/entity/Message.h>

#include "entity/EntityTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <typeinfo>
#include <utility>
#include <vector>

using tnUI::CycleError;
using tnUI::Entity;
using tnUI::Message;

namespace entitytest {

// Named, so that its type name is a qualified name the test can spell.
class TypeNameProbe : public Entity {};

} // namespace entitytest

namespace {

using tnUITest::Chain;
using tnUITest::Chains;
using tnUITest::MessageRecorder;

// An entity that exposes the protected operations a derived class uses.
class Thing : public Entity {
public:
    using Entity::connectSignal;
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

TEST_F(EntityCoreTest, ForwardingThroughTwoLevels)
{
    tn::Reference<Thing> a(new Thing), b(new Thing), c(new Thing);
    b->connectSignal(a);
    c->connectSignal(b);
    MessageRecorder atC(c);
    tnRTB::SignalClient client;
    tnRTB::connect(c->messageSignal, &client, [&](Message& m) { EXPECT_TRUE(m.entityPresent(b)); });
    a->announce(Message::Name);
    EXPECT_EQ(atC.chains, Chains{(Chain{{c, Message::Forward}, {b, Message::Forward}, {a, Message::Name}})});

    // A change of b itself reaches c as a forward of a root message of b.
    b->announce(Message::Label);
    EXPECT_EQ(atC.chains.back(), (Chain{{c, Message::Forward}, {b, Message::Label}}));
}

TEST_F(EntityCoreTest, WatchedMemberResendsWithItsOwnType)
{
    tn::Reference<Thing> a(new Thing), b(new Thing);
    tnRTB::connect(a->messageSignal, b.get(), &Thing::appearanceChanged);
    MessageRecorder atB(b);
    a->announce(Message::Value);
    EXPECT_EQ(atB.chains, Chains{(Chain{{b, Message::Appearance}, {a, Message::Value}})});
    // removeSignal cuts it although it is not forwardMessage.
    b->removeSignal(a);
    EXPECT_TRUE(a->messageSignal.isEmpty());
}

TEST_F(EntityCoreTest, DiamondIsNoCycleButALoopIs)
{
    tn::Reference<Thing> a(new Thing), b(new Thing), c(new Thing), d(new Thing);
    b->connectSignal(a);
    c->connectSignal(a);
    d->connectSignal(b);
    d->connectSignal(c);
    MessageRecorder atD(d);
    a->announce(Message::Value);
    EXPECT_EQ(atD.chains, (Chains{{{d, Message::Forward}, {b, Message::Forward}, {a, Message::Value}},
                                  {{d, Message::Forward}, {c, Message::Forward}, {a, Message::Value}}}));

    d->connectSignal(d);
    EXPECT_THROW(d->announce(Message::Value), CycleError);
}

TEST_F(EntityCoreTest, ForwardingCycleRaisesCycleErrorToTheFirstSender)
{
    tn::Reference<Thing> a(new Thing), b(new Thing);
    MessageRecorder atB(b); // connected first, so it sees b's forward
    b->connectSignal(a);
    a->connectSignal(b);
    MessageRecorder atA(a); // after b's connection: the error cuts it off
    EXPECT_THROW(a->announce(Message::Value), CycleError);
    EXPECT_EQ(atB.chains, Chains{(Chain{{b, Message::Forward}, {a, Message::Value}})});
    EXPECT_TRUE(atA.chains.empty());

    // The connections survive the error; cutting one side ends the cycle.
    EXPECT_EQ(a->messageSignal.getNumConnections(), 2);
    a->removeSignal(b);
    a->announce(Message::Value);
    EXPECT_EQ(std::tuple(atA.chains.size(), atB.chains.size()), std::tuple(1ul, 2ul));
}

TEST_F(EntityCoreTest, RemoveSignalAndDeathCutEveryConnection)
{
    tn::Reference<Thing> a(new Thing), b(new Thing), other(new Thing);
    b->connectSignal(nullptr); // ignored
    b->connectSignal(a);
    b->connectSignal(a);
    other->connectSignal(a);
    MessageRecorder atB(b);
    a->announce(Message::Value);
    EXPECT_EQ(atB.chains.size(), 2u); // each connection forwards once
    b->removeSignal(nullptr);
    b->removeSignal(a);
    // Only other's connection stays.
    EXPECT_EQ(std::tuple(b->signalClient.getNumConnections(), a->messageSignal.getNumConnections()), std::tuple(0, 1));
    a->announce(Message::Value);
    EXPECT_EQ(atB.chains.size(), 2u);

    // A dying listener and a dying source leave no connection.
    other->connectSignal(b);
    other.reset();
    EXPECT_TRUE(a->messageSignal.isEmpty());
    b->connectSignal(a);
    a.reset();
    EXPECT_EQ(b->signalClient.getNumConnections(), 0);
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

TEST_F(EntityCoreTest, SenderAndForwarderDieInsideTheForward)
{
    // a and b live on counts taken here; a listener of b drops both while b's
    // forward of a's message is being delivered.
    auto* a = new Thing;
    auto* b = new Thing;
    a->ref();
    b->ref();
    b->connectSignal(a);
    std::vector<const Entity*> died;
    tnRTB::SignalClient client;
    for (Thing* t : {a, b})
        tnRTB::connect(t->destroyedSignal, &client, [&died](Entity* e) { died.push_back(e); });
    int killerCalls = 0, laterCalls = 0;
    tnRTB::connect(b->messageSignal, &client, [&](Message& m) {
        ++killerCalls;
        a->unref();
        b->unref();
        // The message and its cause live on the stacks of the sends that are
        // still running: they stay readable until this callback returns.
        EXPECT_EQ((tnUITest::Link{m.getRoot()->getEntity(), m.getRoot()->getType()}),
                  (tnUITest::Link{a, Message::Value}));
        EXPECT_EQ(m.getType(), Message::Forward);
    });
    tnRTB::connect(b->messageSignal, &client, [&](Message&) { ++laterCalls; });
    tnRTB::connect(a->messageSignal, &client, [&](Message&) { ++laterCalls; });
    const std::int32_t live = Entity::numberOfActiveObjects();
    a->announce(Message::Value);
    EXPECT_EQ(killerCalls, 1);
    EXPECT_EQ(laterCalls, 0); // both emissions stopped with their signals
    EXPECT_EQ(died, (std::vector<const Entity*>{a, b}));
    EXPECT_EQ(Entity::numberOfActiveObjects(), live - 2);
    EXPECT_EQ(client.getNumConnections(), 0);
}

TEST_F(EntityCoreTest, ListenerKilledByAnEarlierListenerIsSkipped)
{
    tn::Reference<Thing> a(new Thing);
    auto* b = new Thing;
    b->ref();
    int after = 0;
    tnRTB::SignalClient client;
    tnRTB::connect(a->messageSignal, &client, [&](Message&) {
        if (b)
            std::exchange(b, nullptr)->unref();
    });
    b->connectSignal(a);
    MessageRecorder atB(b);
    tnRTB::connect(a->messageSignal, &client, [&](Message&) { ++after; });
    a->announce(Message::Value);
    a->announce(Message::Value);
    EXPECT_TRUE(atB.chains.empty());
    EXPECT_EQ(after, 2);
    EXPECT_EQ(a->messageSignal.getNumConnections(), 2);
}

TEST_F(EntityCoreTest, TypeAndMessageTypeNames)
{
    tn::Reference<entitytest::TypeNameProbe> probe(new entitytest::TypeNameProbe);
    EXPECT_STREQ(probe->getTypeName().asChar(), "entitytest::TypeNameProbe");
    tnString::CString out("stale");
    tnUI::demangleCppTypeidName(out, typeid(Entity).name());
    EXPECT_STREQ(out.asChar(), "tnUI::Entity");
    // Names that are already readable pass unchanged, and null gives nothing.
    for (const char* name : {"class tnUI::CommandDefn", static_cast<const char*>(nullptr)}) {
        tnUI::demangleCppTypeidName(out, name);
        EXPECT_STREQ(out.asChar(), name ? name : "");
    }
    const char* const texts[] = {"Forward", "Value",     "Name",       "Label", "State",
                                 "Content", "Structure", "Appearance", "Icon",  "Binding"};
    for (int i = 0; i < 10; ++i) {
        const auto t = static_cast<Message::Type>(i);
        EXPECT_STREQ(tnUI::enumName(t), texts[i]) << i;
        EXPECT_STREQ(Message::TypeName(t), texts[i]) << i;
    }
    for (int bad : {10, -1, 1000}) {
        EXPECT_THROW(tnUI::enumName(static_cast<Message::Type>(bad)), tnUI::ImplError) << bad;
        EXPECT_THROW(Message::TypeName(static_cast<Message::Type>(bad)), tnUI::ImplError) << bad;
    }
}

} // namespace
