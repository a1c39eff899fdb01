// Vector and array values: component kinds, the messages each changing call
// sends (one per change, none for a call that changes nothing), naming,
// assignment and copying of components.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Name.h>
#include <tnUI/values/AngleValue.h>
#include <tnUI/values/LinearValue.h>
#include <tnUI/values/RealValueArray.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tnLinear::Tuple2;
using tnUI::Message;
using tnUI::RealValue;
using tnUI::RealValue2;
using tnUI::RealValue3;
using tnUI::RealValueArray;
using tnUI::RealValueN;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

class RealValueArrayTest : public tnUITest::EntityTest {};

TEST_F(RealValueArrayTest, ComponentKindsAndIndices)
{
    const tn::Reference<RealValue3> mixed(
        new RealValue3(RealValueArray::Linear, RealValueArray::SameAsPrevious, RealValueArray::Angle));
    EXPECT_NE(dynamic_cast<tnUI::LinearValue*>(mixed->getValue(0)), nullptr);
    EXPECT_NE(dynamic_cast<tnUI::LinearValue*>(mixed->getValue(1)), nullptr);
    EXPECT_NE(dynamic_cast<tnUI::AngleValue*>(mixed->getValue(2)), nullptr);
    const tn::Reference<RealValue2> plain(new RealValue2(RealValueArray::Real, RealValueArray::SameAsPrevious));
    EXPECT_EQ(plain->getValue(1)->getTypeName().str(), "tnUI::RealValue");
    EXPECT_FALSE(plain->getValue(0)->isSet());
    EXPECT_THROW(plain->getValue(2), tnUI::IndexError);
    EXPECT_THROW(plain->getValue(-1), tnUI::IndexError);
    EXPECT_THROW(plain->evalInternal(), tnUI::NotSetError);

    const auto bad = static_cast<RealValueArray::type>(4);
    EXPECT_THROW(RealValue2(RealValueArray::SameAsPrevious), tnUI::ImplError);
    EXPECT_THROW(RealValue3(RealValueArray::Real, bad), tnUI::ImplError);
    EXPECT_THROW(RealValueN(RealValueArray::SameAsPrevious), tnUI::ImplError);
    EXPECT_THROW(RealValueN(bad, 0), tnUI::ImplError);
}

TEST_F(RealValueArrayTest, FixedSizeSettersAnnounceOncePerChangingCall)
{
    const tn::Reference<RealValue2> vec(new RealValue2(RealValueArray::Real, RealValueArray::Linear));
    vec->getValue(1)->setRange(0, 1);
    MessageRecorder array(vec);
    MessageRecorder component(vec->getValue(1));
    // Each call, whether it sends a root message, and the numbers after it.
    const std::tuple<std::function<void()>, bool, Tuple2> steps[] = {
        {[&] { vec->setInternalValue(1, 2); }, true, {1, 1}},
        {[&] { vec->setInternalValue(1, 2); }, false, {1, 1}},
        {[&] { vec->setInternalValue(Tuple2(3, 3)); }, true, {3, 1}},
        {[&] { vec->setInternalValue(3, 0.5); }, true, {3, 0.5}},
        // Component 1 shows millimetres of its centimetres.
        {[&] { vec->getValue(1)->setInternalValue(0.5); }, false, {3, 0.5}},
        {[&] { static_cast<tnUI::LinearValue*>(vec->getValue(1))->setDisplayUnit(tnUI::LinearUnit::Millimeter); },
         false,
         {3, 0.5}},
        {[&] { vec->setDisplayValue(3, 8); }, true, {3, 0.8}},
        {[&] { vec->setDisplayValue(Tuple2(3, 8)); }, false, {3, 0.8}},
    };
    for (const auto& [call, announced, after] : steps) {
        array.chains.clear();
        call();
        EXPECT_EQ(vec->evalInternal(), after);
        if (announced)
            EXPECT_EQ(array.chains, (tnUITest::Chains{{{vec.get(), Message::Value}}}));
        else
            EXPECT_TRUE(array.chains.size() <= 1U);
    }
    EXPECT_EQ(vec->evalDisplay(), Tuple2(3, 8));
    // Only the unit change came from the component itself, passed on once.
    EXPECT_EQ(component.chains, (tnUITest::Chains{{{vec->getValue(1), Message::Value}}}));
    EXPECT_EQ(array.chains.size(), 0U);
}

TEST_F(RealValueArrayTest, AnyLengthRebuildsOrUpdatesInPlace)
{
    const tn::Reference<RealValueN> vec(new RealValueN(RealValueArray::Angle, 3));
    MessageRecorder recorder(vec);
    const Chain root{{vec.get(), Message::Value}};

    vec->setInternalValue({1, 2, 3});
    RealValue* first = vec->getValue(0);
    EXPECT_EQ(recorder.chains, (tnUITest::Chains{root}));
    EXPECT_NE(dynamic_cast<tnUI::AngleValue*>(vec->getValue(2)), nullptr);

    recorder.chains.clear();
    vec->setInternalValue({1, 5, 6});
    const Chain forward1{{vec.get(), Message::Forward}, {vec->getValue(1), Message::Value}};
    const Chain forward2{{vec.get(), Message::Forward}, {vec->getValue(2), Message::Value}};
    EXPECT_EQ(recorder.chains, (tnUITest::Chains{forward1, forward2}));
    EXPECT_EQ(vec->getValue(0), first);
    recorder.chains.clear();
    vec->setInternalValue({1, 5, 6});
    EXPECT_TRUE(recorder.chains.empty());

    vec->setDisplayValue({4, 3, 2, 1});
    EXPECT_EQ(std::tuple(recorder.chains, vec->evalInternal()),
              std::tuple(tnUITest::Chains{root}, std::vector<double>{4, 3, 2, 1}));

    // Built from numbers: initialized and silent, so the same length updates
    // in place.
    const tn::Reference<RealValueN> built(new RealValueN({7, 8}, RealValueArray::Real));
    MessageRecorder builtRecorder(built);
    built->setInternalValue({7, 9});
    EXPECT_EQ(builtRecorder.chains.size(), 1U);
    EXPECT_EQ(builtRecorder.chains[0].size(), 2U);
    EXPECT_EQ(built->evalDisplay(), (std::vector<double>{7, 9}));
}

TEST_F(RealValueArrayTest, NamingComponents)
{
    const tn::Reference<RealValue2> vec(new RealValue2);
    EXPECT_THROW(vec->nameComponents(), tnUI::NullError);
    vec->setName(tnString::CString("size"));
    vec->nameComponents();
    EXPECT_EQ(std::string(vec->getValue(0)->getName()->asChar()) + " " + vec->getValue(1)->getName()->asChar(),
              "size.0 size.1");
    EXPECT_THROW(vec->nameComponents(), tnUI::ImplError);
}

TEST_F(RealValueArrayTest, AssignClampsTwiceAndResetRestoresDefaults)
{
    const tn::Reference<RealValue2> source(new RealValue2);
    source->setInternalValue(5, 20);
    source->getValue(0)->setRange(0, 4);
    const tn::Reference<RealValue2> target(new RealValue2);
    target->setInternalValue(1, 1);
    target->getValue(1)->setRange(0, 10);
    target->setEditble(false);
    MessageRecorder recorder(target);

    // Component 0: 4 is stored, then [0, 4] changes nothing. Component 1: 20
    // clamps to 10 silently, then the unbounded range lets 10 stand.
    EXPECT_TRUE(target->assign(source));
    EXPECT_EQ(std::tuple(target->evalInternal(), target->getValue(0)->getRange(), target->getEditable()),
              std::tuple(Tuple2(4, 10), tnLinear::Range1d(0, 4), true));
    EXPECT_TRUE(recorder.chains.empty());

    // A second clamp by the source's range is announced by the component:
    // the source's 2 is stored as 5, then clamped to 2.
    source->getValue(1)->setRange(0, 2);
    target->getValue(1)->setRange(5, 10);
    recorder.chains.clear();
    target->assign(source);
    EXPECT_EQ(recorder.chains,
              (tnUITest::Chains{{{target.get(), Message::Forward}, {target->getValue(1), Message::Value}}}));

    const tn::Reference<RealValueN> shorter(new RealValueN({6}, RealValueArray::Real));
    EXPECT_THROW(target->assign(shorter), tnUI::IndexError);
    EXPECT_EQ(target->evalInternal(), Tuple2(4, 2));
    EXPECT_THROW(target->assign(tn::Reference<RealValue2>(new RealValue2)), tnUI::NotSetError);
    EXPECT_FALSE(target->assign(tn::Reference<RealValue>(new RealValue(1))));

    recorder.chains.clear();
    target->reset();
    EXPECT_EQ(std::tuple(target->evalInternal(), recorder.chains.size()), std::tuple(Tuple2(1, 1), 2U));
    EXPECT_THROW(RealValue2().reset(), tnUI::NotSetError);
}

// Exposes the copy used by cloning colours.
class CopyableVector : public tnUI::RealValue4 {
public:
    using RealValue4::copyInto;
};

TEST_F(RealValueArrayTest, CopyTakesClonesOfTheComponentsOnly)
{
    const tn::Reference<CopyableVector> source(new CopyableVector);
    source->setInternalValue(1, 2, 3, 4);
    source->getValue(3)->setRange(0, 8);
    source->setName(tnString::CString("v"));
    const tn::Reference<RealValueN> target(new RealValueN({9}, RealValueArray::Real));
    MessageRecorder recorder(target);

    source->copyInto(target);
    EXPECT_EQ(std::tuple(target->size(), target->evalInternal(), target->getValue(3)->getRange(), target->getName()),
              std::tuple(4, std::vector<double>{1, 2, 3, 4}, tnLinear::Range1d(0, 8), nullptr));
    EXPECT_NE(target->getValue(0), source->getValue(0));
    EXPECT_TRUE(recorder.chains.empty());
    // The target listens to its new components, the source does not.
    MessageRecorder sourceRecorder(source);
    target->getValue(2)->setInternalValue(7);
    EXPECT_EQ(std::tuple(recorder.chains.size(), sourceRecorder.chains.size(), source->getValue(2)->evalInternal()),
              std::tuple(1U, 0U, 3.0));
}

} // namespace
