// Every value operation that speaks survives a listener that drops the last
// reference to the value while it speaks: the value keeps itself alive until
// the operation is over and dies then, with nothing leaked.

#include "entity/EntityTestSupport.h"

#include <tnUI/values/Expression.h>
#include <tnUI/values/ImageValue.h>
#include <tnUI/values/RealValueArray.h>
#include <tnUI/values/ValueList.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

using tnUI::RealValue2;
using tnUI::RealValueN;
using tnUI::Value;

class ReleasingListenerTest : public tnUITest::EntityTest {};

// A 2-vector holding (5, 5) whose first component is ranged [2, 3]: assigned
// from source(), the component is clamped twice and announces the second
// clamp.
tn::Reference<RealValue2> clampedTwice()
{
    const tn::Reference<RealValue2> v(new RealValue2);
    v->setInternalValue(5, 5);
    v->getValue(0)->setRange(2, 3);
    return v;
}

tn::Reference<RealValue2> source()
{
    const tn::Reference<RealValue2> v(new RealValue2);
    v->setInternalValue(0.5, 0.5);
    v->getValue(0)->setRange(0, 1);
    return v;
}

// A real value whose reset announces a change.
tn::Reference<tnUI::RealValue> changed()
{
    const tn::Reference<tnUI::RealValue> v(new tnUI::RealValue(1));
    v->setInternalValue(2);
    return v;
}

tn::Reference<tnUI::ValueList> listOf(Value* member)
{
    const tn::Reference<tnUI::ValueList> list(new tnUI::ValueList);
    list->addValue(0.0, member);
    return list;
}

TEST_F(ReleasingListenerTest, TheValueLivesUntilItsOperationEnds)
{
    static const std::array<unsigned char, 4> pixels{1, 2, 3, 4};
    const auto image = [] {
        const tn::Reference<tnUI::ImageValue> v(new tnUI::ImageValue);
        v->setImageData(1, 1, 4, pixels.data());
        return tn::Reference<Value>(v);
    };
    const auto vector = [] { return tn::Reference<Value>(new RealValueN(tn::vector<double>{1, 2})); };
    struct Row {
        const char* what;
        std::function<tn::Reference<Value>()> make;
        std::function<void(Value*)> act;
    };
    const Row rows[] = {
        {"image reset by empty data", image,
         [](Value* v) { static_cast<tnUI::ImageValue*>(v)->setImageData(0, 0, 4, nullptr); }},
        {"image data", image,
         [](Value* v) { static_cast<tnUI::ImageValue*>(v)->setImageData(1, 1, 4, pixels.data()); }},
        {"image reset", image, [](Value* v) { v->reset(); }},
        {"vector updated in place", vector,
         [](Value* v) {
             static_cast<RealValueN*>(v)->setInternalValue({3, 4});
         }},
        {"vector rebuilt", vector, [](Value* v) { static_cast<RealValueN*>(v)->setInternalValue({3}); }},
        {"array assigned", [] { return tn::Reference<Value>(clampedTwice()); }, [](Value* v) { v->assign(source()); }},
        {"array reset",
         [] {
             const tn::Reference<RealValue2> v(new RealValue2);
             v->setInternalValue(1, 1);
             v->setInternalValue(2, 2);
             return tn::Reference<Value>(v);
         },
         [](Value* v) { v->reset(); }},
        {"list assigned", [] { return tn::Reference<Value>(listOf(clampedTwice())); },
         [](Value* v) { v->assign(listOf(source())); }},
        {"list reset", [] { return tn::Reference<Value>(listOf(changed())); }, [](Value* v) { v->reset(); }},
        {"expression reset", [] { return tn::Reference<Value>(new tnUI::ExpressionAdd(changed(), changed())); },
         [](Value* v) { v->reset(); }},
        {"negation reset", [] { return tn::Reference<Value>(new tnUI::ExpressionNot(changed())); },
         [](Value* v) { v->reset(); }},
        {"editable flag", vector, [](Value* v) { v->setEditble(false); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        tn::Reference<Value> owner = row.make();
        Value* value = owner.get();
        tnRTB::SignalClient client;
        tnRTB::connect(value->messageSignal, &client, [&owner](tnUI::Message&) { owner = nullptr; });
        row.act(value);
        EXPECT_EQ(owner, nullptr);
    }
}

} // namespace
