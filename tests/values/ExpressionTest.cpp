// Expressions: the evaluation rules (tolerance, division by a near-zero
// divisor, short-circuits over unset operands) and refused operands. NaN,
// resets, conditions and the forwarding of operand messages are checked
// against a model by the value fuzzer.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/RealValue.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace {

using tnLinear::epsilonTol;
using tnUI::BoolValue;
using tnUI::NumericValue;
using tnUI::RealValue;

using Ref = tn::Reference<NumericValue>;
using Maker = std::function<Ref(NumericValue*, NumericValue*)>;

class ExpressionTest : public tnUITest::EntityTest {};

// Makes the operator node of class E over two operands.
template <class E>
Maker maker()
{
    return [](NumericValue* l, NumericValue* r) { return Ref(new E(l, r)); };
}

Ref real(double v)
{
    return Ref(new RealValue(v));
}

TEST_F(ExpressionTest, EvaluationTable)
{
    struct Case {
        const char* what;
        Maker make;
        double left, right, number;
        bool truth, isBool;
    };
    const double half = epsilonTol / 2;
    const double maxInt = 2147483647.0;
    const Case cases[] = {
        {"less is exact", maker<tnUI::ExpressionLess>(), 1.0, 1.0 + half, 1.0, true, true},
        {"less, equal", maker<tnUI::ExpressionLess>(), 1.0, 1.0, 0.0, false, true},
        {"greater", maker<tnUI::ExpressionGreater>(), 1.0 + half, 1.0, 1.0, true, true},
        {"less-eq, equal", maker<tnUI::ExpressionLessEq>(), 2.0, 2.0, 1.0, true, true},
        {"less-eq, above", maker<tnUI::ExpressionLessEq>(), 2.0 + half, 2.0, 0.0, false, true},
        {"greater-eq, equal", maker<tnUI::ExpressionGreaterEq>(), -3.0, -3.0, 1.0, true, true},
        {"greater-eq, below", maker<tnUI::ExpressionGreaterEq>(), -3.0 - half, -3.0, 0.0, false, true},
        {"equal within epsilon", maker<tnUI::ExpressionEqual>(), 1.0, 1.0 + half, 1.0, true, true},
        {"equal, 0 and epsilon", maker<tnUI::ExpressionEqual>(), 0.0, epsilonTol, 0.0, false, true},
        {"not-equal, 0 and epsilon", maker<tnUI::ExpressionNotEqual>(), 0.0, epsilonTol, 1.0, true, true},
        {"and, right near zero", maker<tnUI::ExpressionAnd>(), 2.0, half, 0.0, false, true},
        {"or", maker<tnUI::ExpressionOr>(), 0.0, -3.0, 1.0, true, true},
        {"add to zero", maker<tnUI::ExpressionAdd>(), 2.0, -2.0, 0.0, false, false},
        {"subtract to near zero", maker<tnUI::ExpressionSubtract>(), -half, -2 * half, half, false, false},
        {"multiply", maker<tnUI::ExpressionMultiply>(), -2.0, 3.0, -6.0, true, false},
        {"divide", maker<tnUI::ExpressionDivide>(), 3.0, -2.0, -1.5, true, false},
        {"divide by zero", maker<tnUI::ExpressionDivide>(), 3.0, 0.0, maxInt, true, false},
        {"divide negative by near zero", maker<tnUI::ExpressionDivide>(), -3.0, -half, maxInt, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Ref node = c.make(real(c.left), real(c.right));
        EXPECT_EQ(
            std::tuple(node->evalBool(), node->evalDouble(), dynamic_cast<tnUI::Expression&>(*node).isBoolExpression()),
            std::tuple(c.truth, c.number, c.isBool));
    }
    const tn::Reference<tnUI::ExpressionNot> negation(new tnUI::ExpressionNot(new BoolValue(true)));
    EXPECT_EQ(std::tuple(negation->evalBool(), negation->evalDouble(), negation->isBoolExpression()),
              std::tuple(false, 0.0, true));
}

TEST_F(ExpressionTest, UnsetOperandsAreReadOnlyWhenNeeded)
{
    const Ref unset(new RealValue), yes(new BoolValue(true)), no(new BoolValue(false)), zero = real(0.0);

    EXPECT_FALSE(Ref(new tnUI::ExpressionAnd(no, unset))->evalBool());
    EXPECT_TRUE(Ref(new tnUI::ExpressionOr(yes, unset))->evalBool());
    EXPECT_EQ(Ref(new tnUI::ExpressionDivide(unset, zero))->evalDouble(), 2147483647.0);

    const Maker needBoth[] = {maker<tnUI::ExpressionLess>(), maker<tnUI::ExpressionEqual>(),
                              maker<tnUI::ExpressionMultiply>(), maker<tnUI::ExpressionDivide>()};
    for (const Maker& make : needBoth) {
        EXPECT_THROW(make(unset, yes)->evalBool(), tnUI::NotSetError);
        EXPECT_THROW(make(yes, unset)->evalBool(), tnUI::NotSetError);
    }
    EXPECT_THROW(Ref(new tnUI::ExpressionAnd(yes, unset))->evalBool(), tnUI::NotSetError);
    EXPECT_THROW(Ref(new tnUI::ExpressionOr(no, unset))->evalBool(), tnUI::NotSetError);
    EXPECT_THROW(Ref(new tnUI::ExpressionNot(new tnUI::ExpressionAdd(zero, unset)))->evalDouble(), tnUI::NotSetError);
}

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
