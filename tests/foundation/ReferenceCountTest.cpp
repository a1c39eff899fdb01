#include <tnUI/foundation/ReferenceCount.h>

#include <gtest/gtest.h>

namespace {

// Counts its destructions. Its destructor calls out the way entities do: it
// asks to be kept alive and, when counted, takes a reference to itself.
class Counted : public tn::ReferenceCount {
public:
    Counted(int& destroyed, bool counted) : m_destroyed(destroyed), m_counted(counted) {}
    ~Counted() override
    {
        EXPECT_EQ(tn::keepAlive(this), nullptr);
        if (m_counted)
            const tn::Reference<Counted> held(this);
        ++m_destroyed;
    }

private:
    int& m_destroyed;
    bool m_counted;
};

TEST(ReferenceCount, KeepAliveHoldsOnlyWhatIsCountedAndDestructionHappensOnce)
{
    int destroyed = 0;
    // Nobody counts an object that is not stored yet: keeping it alive must
    // not delete it afterwards.
    auto* unheld = new Counted(destroyed, false);
    EXPECT_EQ(tn::keepAlive(unheld), nullptr);
    EXPECT_EQ(unheld->getRefCount(), 0);
    delete unheld;
    EXPECT_EQ(destroyed, 1);

    tn::Reference<Counted> owner(new Counted(destroyed, true));
    {
        const tn::Reference<Counted> held = tn::keepAlive(owner.get());
        EXPECT_EQ(owner->getRefCount(), 2);
        // The owner lets go while the object is held: it survives the call.
        owner = nullptr;
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(held->getRefCount(), 1);
    }
    // Destroyed once, although its destructor took a reference to itself.
    EXPECT_EQ(destroyed, 2);
}

// A reference to a base class of the object, released by an exception
// unwinding through the function that holds it, must give its count back.
struct Base : tn::ReferenceCount {
    virtual void hold();
};
struct Derived : Base {
    void hold() override;
};
[[gnu::noinline]] void fail()
{
    throw 1;
}
void Base::hold() {}
[[gnu::noinline]] void Derived::hold()
{
    const tn::Reference<Base> held(this);
    fail();
}

TEST(ReferenceCount, ReleasedByUnwinding)
{
    const tn::Reference<Base> object(new Derived);
    EXPECT_THROW(object->hold(), int);
    EXPECT_EQ(object->getRefCount(), 1);
}

} // namespace
