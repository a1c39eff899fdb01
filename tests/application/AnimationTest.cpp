// Animations on a stepped time source: the parameter over time, odd numbers,
// settings, the exact ends, and an animation dropped by its time source.

#include "entity/EntityTestSupport.h"

#include <tnUI/application/Animation.h>
#include <tnUI/entity/Error.h>

#include <limits>
#include <vector>

namespace {

using namespace tnUI;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

class AnimationTest : public tnUITest::EntityTest {
protected:
    // a on the stepped clock, its run starting now.
    template <class A>
    tn::Reference<A> stepped(A* a)
    {
        a->setTimeSource([this] { return now; });
        return tn::Reference<A>(a);
    }

    double now = 0.0;
};

TEST_F(AnimationTest, ParameterOverTime)
{
    struct Query {
        double time, interp;
        bool finished;
    };
    const struct {
        double duration;
        bool autoReverse, repeat;
        std::vector<Query> queries;
    } cases[] = {
        {1.0, false, false, {{0, 0, false}, {0.25, 0.25, false}, {1, 1, false}, {1.5, 1, true}, {0.1, 1, true}}},
        {1.0, true, false, {{0.25, 0.5, false}, {0.5, 1, false}, {0.75, 0.5, false}, {1, 0, false}, {1.25, 0, true}}},
        // A run ending restarts at the query that sees it end.
        {2.0, false, true, {{0.5, 0.25, false}, {2.5, 1, false}, {3, 0.25, false}, {5, 1, false}, {5.5, 0.25, false}}},
        {1.0, true, true, {{0.25, 0.5, false}, {1.5, 0, false}, {1.75, 0.5, false}, {2, 1, false}}},
        // Odd durations and readings: nothing leaves 0..1.
        {0.0, false, false, {{0, 1, true}}},
        {0.0, true, true, {{0, 0, false}, {3, 0, false}}},
        {inf, true, false, {{1e300, 0, false}, {inf, 0, false}}},
        {0x1p1023, true, false, {{0x1.8p1022, 0.5, false}, {0x1p1023, 0, false}}}, // 2t overflows
        {1.0, false, false, {{-3, 0, false}, {nan, 0, false}, {0.5, 0.5, false}}},
    };
    for (const auto& c : cases) {
        now = 0.0;
        const auto a = stepped(new DoubleAnimation(0.0, 1.0));
        a->setDuration(c.duration);
        a->setAutoReverse(c.autoReverse);
        a->setRepeat(c.repeat);
        for (const Query& q : c.queries) {
            now = q.time;
            EXPECT_EQ(a->getInterp(), q.interp) << "duration " << c.duration << " at " << q.time;
            EXPECT_EQ(a->isFinished(), q.finished) << "duration " << c.duration << " at " << q.time;
        }
    }
}

TEST_F(AnimationTest, EndsSettingsAndTimeSources)
{
    // The exact ends, the straight line between them.
    const auto d = stepped(new DoubleAnimation(2.0, 4.0));
    EXPECT_EQ(d->eval(), 2.0);
    now = 1e-10;
    EXPECT_EQ(d->eval(), 2.0); // within epsilon of the start
    now = 0.5;
    EXPECT_EQ(d->eval(), 3.0);
    now = 1.0 - 1e-10;
    EXPECT_EQ(d->eval(), 4.0);
    now = 0.0;
    const auto p = stepped(new PointAnimation(tnLinear::Point(1, 1, 1), tnLinear::Point(3, 5, -7)));
    now = 0.25;
    EXPECT_EQ(p->eval(), tnLinear::Point(1.5, 2, -1));
    now = 2;
    EXPECT_EQ(p->eval(), tnLinear::Point(3, 5, -7));

    // Settings count from the next query on; nothing restarts. Refused
    // durations change nothing.
    now = 0.0;
    const auto s = stepped(new DoubleAnimation(0.0, 10.0));
    now = 0.5;
    s->setDuration(2.0);
    EXPECT_THROW(s->setDuration(-1.0), ImplError);
    EXPECT_THROW(s->setDuration(nan), ImplError);
    EXPECT_EQ(s->eval(), 2.5);
    s->setAutoReverse(true);
    EXPECT_EQ(s->eval(), 5.0);

    // Ending is final, at the end value of a run.
    s->setRepeat(true);
    s->finished();
    EXPECT_EQ(s->eval(), 0.0);
    const auto fresh = stepped(new DoubleAnimation(2.0, 4.0));
    fresh->finished();
    EXPECT_EQ(fresh->eval(), 4.0);

    const tn::Reference<DoubleAnimation> real(new DoubleAnimation(0, 1)); // on the stop watch
    real->setDuration(3600.0);
    EXPECT_LT(real->getInterp(), 0.01); // a fresh hour-long run has barely begun

    // A time source may drop the animation it serves.
    tn::Reference<DoubleAnimation> holder(new DoubleAnimation(2.0, 4.0));
    int reads = 0;
    holder->setTimeSource([&] {
        if (++reads == 2)
            holder = nullptr;
        return 0.5 * (reads - 1);
    });
    DoubleAnimation* a = holder.get();
    EXPECT_EQ(a->eval(), 3.0); // finishes on the animation it began on
    EXPECT_FALSE(holder);
}

} // namespace
