// Vector and array values: refused kinds and indices, assign from a value
// that is no array, naming components, and listeners that rebuild a vector
// or watch its components die. Component kinds, whole-array and
// component stores with their messages, rebuilds of arrays of any length,
// resets and assigns between arrays are checked against a model by the value
// fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/entity/Name.h>
#include <tnUI/values/RealValueArray.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tnUI::RealValue2;
using tnUI::RealValueArray;
using tnUI::RealValueN;

class RealValueArrayTest : public tnUITest::EntityTest {};

TEST_F(RealValueArrayTest, RefusedKindsIndicesAndSources)
{
    const auto bad = static_cast<RealValueArray::type>(4);
    EXPECT_THROW(RealValue2{RealValueArray::SameAsPrevious}, tnUI::ImplError);
    EXPECT_THROW(tnUI::RealValue3(RealValueArray::Real, bad), tnUI::ImplError);
    EXPECT_THROW(RealValueN{RealValueArray::SameAsPrevious}, tnUI::ImplError);
    EXPECT_THROW(RealValueN(bad, 0), tnUI::ImplError);

    const tn::Reference<RealValue2> vec(new RealValue2);
    EXPECT_THROW(vec->getValue(2), tnUI::IndexError);
    EXPECT_THROW(vec->getValue(-1), tnUI::IndexError);
    vec->setInternalValue(1, 2);
    EXPECT_FALSE(vec->assign(tn::Reference<tnUI::RealValue>(new tnUI::RealValue(5))));
    EXPECT_EQ(vec->evalInternal(), tnLinear::Tuple2(1, 2));
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

TEST_F(RealValueArrayTest, UpdatesStopAtARebuildAndComponentsDieOutsideTheArray)
{
    const tn::Reference<RealValueN> vec(new RealValueN(tn::vector<double>{1, 2, 3}));
    tnRTB::SignalClient client;
    // A listener of the first component's change gives the vector another
    // length: the update in place stops there.
    tnRTB::connect(vec->getValue(0)->messageSignal, &client, [&](tnUI::Message&) {
        vec->setInternalValue({9, 9, 9, 9, 9});
    });
    vec->setInternalValue({9, 8, 7});
    EXPECT_EQ(vec->evalInternal(), (tn::vector<double>{9, 9, 9, 9, 9}));

    // Components that go are out of the array when they die.
    std::vector<int> seen;
    const auto watch = [&] {
        for (int i = 0; i < vec->size(); ++i)
            tnRTB::connect(vec->getValue(i)->destroyedSignal, &client, [&](tnUI::Entity*) {
                int whole = 0;
                for (int k = 0; k < vec->size(); ++k)
                    whole += vec->getValue(k) != nullptr;
                seen.push_back(vec->size() - whole);
            });
    };
    watch();
    vec->setInternalValue({1, 2});
    watch();
    vec->setInternalValue({1, 2, 3});
    EXPECT_EQ(seen, std::vector<int>(7, 0));
    client.disconnectAll();
}

} // namespace
