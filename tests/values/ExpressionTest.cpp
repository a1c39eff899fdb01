// Expressions and conditions: the evaluation rules (tolerance, NaN, division
// by a near-zero divisor, short-circuits), isSet and reset through the tree,
// forwarding of operand messages with their cause chains, and the condition's
// change announcements.

#include "entity/EntityTestSupport.h"

#include <tnUI/entity/Error.h>
#include <tnUI/foundation/Linear.h>
#include <tnUI/values/BoolValue.h>
#include <tnUI/values/Condition.h>
#include <tnUI/values/Expression.h>
#include <tnUI/values/RealValue.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using tnLinear::epsilonTol;
using tnUI::BoolValue;
using tnUI::Message;
using tnUI::NumericValue;
using tnUI::RealValue;
using tnUITest::Chain;
using tnUITest::MessageRecorder;

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

TEST_F(ExpressionTest, NaNOnEitherSide)
{
    const Maker comparisons[] = {maker<tnUI::ExpressionLess>(), maker<tnUI::ExpressionLessEq>(),
                                 maker<tnUI::ExpressionGreater>(), maker<tnUI::ExpressionGreaterEq>(),
                                 maker<tnUI::ExpressionEqual>()};
    const Maker arithmetic[] = {maker<tnUI::ExpressionAdd>(), maker<tnUI::ExpressionSubtract>(),
                                maker<tnUI::ExpressionMultiply>(), maker<tnUI::ExpressionDivide>()};
    const double nan = std::nan("");
    for (const auto& [l, r] : {std::pair{nan, 1.0}, std::pair{1.0, nan}}) {
        for (const Maker& make : comparisons)
            EXPECT_FALSE(make(real(l), real(r))->evalBool());
        EXPECT_TRUE(maker<tnUI::ExpressionNotEqual>()(real(l), real(r))->evalBool());
        // An arithmetic NaN counts as true.
        for (const Maker& make : arithmetic)
            EXPECT_TRUE(make(real(l), real(r))->evalBool());
    }
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

TEST_F(ExpressionTest, IsSetAndResetGoThroughTheTree)
{
    const tn::Reference<RealValue> a(new RealValue(1.0)), b(new RealValue), c(new RealValue(3.0));
    const Ref root(new tnUI::ExpressionAdd(new tnUI::ExpressionNot(a), new tnUI::ExpressionSubtract(b, c)));
    EXPECT_FALSE(root->isSet());
    // An unset leaf stops the reset there; the leaves before it are reset.
    a->setInternalValue(10.0);
    EXPECT_THROW(root->reset(), tnUI::NotSetError);
    EXPECT_EQ(a->evalInternal(), 1.0);

    b->setInternalValue(2.0);
    EXPECT_TRUE(root->isSet());
    a->setInternalValue(10.0);
    b->setInternalValue(20.0);
    c->setInternalValue(30.0);
    MessageRecorder recorder(root);
    root->reset();
    EXPECT_EQ(a->evalInternal() + b->evalInternal() + c->evalInternal(), 6.0);
    std::vector<tnUITest::Link> origins;
    for (const Chain& chain : recorder.chains)
        origins.push_back(chain.back());
    EXPECT_EQ(origins, (std::vector<tnUITest::Link>{
                           {a.get(), Message::Value}, {b.get(), Message::Value}, {c.get(), Message::Value}}));
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

TEST_F(ExpressionTest, OperandChangesClimbToTheRootWithTheirChains)
{
    const tn::Reference<RealValue> leaf(new RealValue(1.0));
    const tn::Reference<tnUI::ExpressionNot> inner(new tnUI::ExpressionNot(leaf));
    const tn::Reference<tnUI::ExpressionAnd> root(new tnUI::ExpressionAnd(real(2.0), inner));
    MessageRecorder recorder(root);

    leaf->setInternalValue(0.0);
    EXPECT_EQ(recorder.chains,
              (tnUITest::Chains{
                  {{root.get(), Message::Forward}, {inner.get(), Message::Forward}, {leaf.get(), Message::Value}}}));
    // Passed on although the result stays the same; nothing for a store of
    // the number held; any message type is passed on.
    leaf->setInternalValue(-1.0);
    leaf->setInternalValue(-1.0);
    leaf->setName(tnString::CString("leaf"));
    ASSERT_EQ(recorder.chains.size(), 3u);
    EXPECT_EQ(recorder.chains[2].back(), (tnUITest::Link{leaf.get(), Message::Name}));

    // An operand used twice is forwarded twice.
    const tn::Reference<BoolValue> flag(new BoolValue(true));
    const Ref both(new tnUI::ExpressionAnd(flag, flag));
    MessageRecorder bothRecorder(both);
    flag->setValue(false);
    EXPECT_EQ(bothRecorder.chains,
              (std::vector<Chain>(2, Chain{{both.get(), Message::Forward}, {flag.get(), Message::Value}})));
}

// A truth value that the test decides.
class FlagCondition : public tnUI::Condition {
public:
    bool compute() override { return answer; }

    bool answer = false;
};

TEST_F(ExpressionTest, ConditionAnnouncesOnlyRealChanges)
{
    const tn::Reference<FlagCondition> condition(new FlagCondition);
    const Ref negation(new tnUI::ExpressionNot(condition));
    MessageRecorder recorder(condition), negationRecorder(negation);
    EXPECT_TRUE(negation->evalBool());

    // The answer of each update and the messages sent so far: the first
    // update always announces.
    const std::pair<bool, std::size_t> steps[] = {{false, 1}, {false, 1}, {true, 2}, {true, 2}, {false, 3}};
    for (const auto& [answer, messages] : steps) {
        condition->answer = answer;
        condition->update();
        EXPECT_EQ(std::tuple(condition->evalDouble(), recorder.chains.size()),
                  std::tuple(answer ? 1.0 : 0.0, messages));
    }
    // Reset changes nothing and the condition stays computed and unset.
    condition->reset();
    condition->update();
    EXPECT_FALSE(recorder.chains.size() != 3u || condition->isSet());
    EXPECT_EQ(negationRecorder.chains.back(),
              (Chain{{negation.get(), Message::Forward}, {condition.get(), Message::Value}}));
}

} // namespace
