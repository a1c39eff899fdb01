// Expressions: refused null operands leak nothing. The evaluation rules
// (exact ordering, equality within the tolerance, division by a near-zero
// divisor, short-circuits over unset operands, NaN), isBoolExpression, resets,
// conditions and the forwarding of operand messages are checked against a
// model by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/RealValue.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using tnUI::BoolValue;
using tnUI::NumericValue;
using tnUI::RealValue;

using Ref = tn::Reference<NumericValue>;

class ExpressionTest : public tnUITest::EntityTest {};

TEST_F(ExpressionTest, NullOperandsAreRefusedWithoutLeaks)
{
    // The fixture checks that the refused operands made here die again.
    EXPECT_THROW(Ref(new tnUI::ExpressionAnd(new BoolValue(true), nullptr)), tnUI::NullError);
    EXPECT_THROW(Ref(new tnUI::ExpressionDivide(nullptr, new RealValue(1.0))), tnUI::NullError);
    EXPECT_THROW(Ref(new tnUI::ExpressionNot(nullptr)), tnUI::NullError);

    const tn::Reference<RealValue> held(new RealValue(1.0));
    EXPECT_THROW(Ref(new tnUI::ExpressionLess(held, nullptr)), tnUI::NullError);
    EXPECT_EQ(std::tuple(held->getRefCount(), held->messageSignal.getNumConnections()), std::tuple(1, 0));
}

} // namespace
