#include <tnUI/entity/Entity.h>
#include <tnUI/entity/Error.h>

#include <gtest/gtest.h>

namespace {

class Thing : public tnUI::Entity {
public:
    using Entity::connectSignal;
    using Entity::removeSignal;
    void announce(tnUI::Message::Type t)
    {
        tnUI::Message m(this, t);
        sendMessage(m);
    }
};

TEST(Entity, ForwardsWithCause)
{
    tn::Reference<Thing> a(new Thing), b(new Thing);
    b->connectSignal(a);
    int calls = 0;
    tnRTB::connect(b->messageSignal, nullptr, [&](tnUI::Message& m) {
        ++calls;
        EXPECT_EQ(m.getEntity(), b.get());
        EXPECT_EQ(m.getType(), tnUI::Message::Forward);
        EXPECT_EQ(m.getRoot()->getEntity(), a.get());
    });
    a->announce(tnUI::Message::Value);
    EXPECT_EQ(calls, 1);
}

} // namespace
