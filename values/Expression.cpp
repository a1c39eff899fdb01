#include "Expression.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"
#include "../foundation/Linear.h"

#include <cmath>

namespace tnUI {

namespace {

// Equality of two numbers within the shared absolute tolerance; false when
// either is NaN.
bool nearlyEqual(double a, double b)
{
    return std::fabs(a - b) < tnLinear::epsilonTol;
}

// The truth of an arithmetic result: anything but (nearly) zero, NaN included.
bool truthOf(double x)
{
    return !nearlyEqual(x, 0.0);
}

// What a division by a divisor within epsilonTol of zero gives: the largest
// signed 32-bit integer.
constexpr double divisionByZero = 2147483647.0;

} // namespace

bool Expression::isExpression() const
{
    return true;
}

double Expression::evalDouble() const
{
    return evalBool() ? 1.0 : 0.0;
}

bool Expression::isBoolExpression() const
{
    return true;
}

// The references are taken before the null test, as members, so that a
// refused operand is released again as the constructor unwinds.
BinaryExpression::BinaryExpression(NumericValue* left, NumericValue* right) : m_left(left), m_right(right)
{
    if (!left || !right)
        throw NullError();
    connectSignal(left);
    connectSignal(right);
}

bool BinaryExpression::isSet() const
{
    return m_left->isSet() && m_right->isSet();
}

void BinaryExpression::reset()
{
    // The left operand's announcement may reach a listener that drops this
    // expression, and with it the operands.
    const tn::Reference<NumericValue> left = m_left, right = m_right;
    left->reset();
    right->reset();
}

bool BinaryExpression::dump(DumpFile& file, int level, const char* label) const
{
    if (!NumericValue::dump(file, level, label))
        return false;
    m_left->dump(file, level + 1, "left");
    m_right->dump(file, level + 1, "right");
    return true;
}

bool ExpressionAnd::evalBool() const
{
    return getLeft()->evalBool() && getRight()->evalBool();
}

bool ExpressionOr::evalBool() const
{
    return getLeft()->evalBool() || getRight()->evalBool();
}

// Both operands of a comparison are evaluated, left first.

bool ExpressionLess::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return l < getRight()->evalDouble();
}

bool ExpressionLessEq::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return l <= getRight()->evalDouble();
}

bool ExpressionGreater::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return l > getRight()->evalDouble();
}

bool ExpressionGreaterEq::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return l >= getRight()->evalDouble();
}

bool ExpressionEqual::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return nearlyEqual(l, getRight()->evalDouble());
}

bool ExpressionNotEqual::evalBool() const
{
    const double l = getLeft()->evalDouble();
    return !nearlyEqual(l, getRight()->evalDouble());
}

bool ExpressionAdd::evalBool() const
{
    return truthOf(evalDouble());
}

double ExpressionAdd::evalDouble() const
{
    const double l = getLeft()->evalDouble();
    return l + getRight()->evalDouble();
}

bool ExpressionAdd::isBoolExpression() const
{
    return false;
}

bool ExpressionSubtract::evalBool() const
{
    return truthOf(evalDouble());
}

double ExpressionSubtract::evalDouble() const
{
    const double l = getLeft()->evalDouble();
    return l - getRight()->evalDouble();
}

bool ExpressionSubtract::isBoolExpression() const
{
    return false;
}

bool ExpressionMultiply::evalBool() const
{
    return truthOf(evalDouble());
}

double ExpressionMultiply::evalDouble() const
{
    const double l = getLeft()->evalDouble();
    return l * getRight()->evalDouble();
}

bool ExpressionMultiply::isBoolExpression() const
{
    return false;
}

bool ExpressionDivide::evalBool() const
{
    return truthOf(evalDouble());
}

double ExpressionDivide::evalDouble() const
{
    const double r = getRight()->evalDouble();
    if (std::fabs(r) < tnLinear::epsilonTol)
        return divisionByZero;
    return getLeft()->evalDouble() / r;
}

bool ExpressionDivide::isBoolExpression() const
{
    return false;
}

ExpressionNot::ExpressionNot(NumericValue* value) : m_value(value)
{
    if (!value)
        throw NullError();
    connectSignal(value);
}

bool ExpressionNot::isSet() const
{
    return m_value->isSet();
}

void ExpressionNot::reset()
{
    const tn::Reference<NumericValue> value = m_value;
    value->reset();
}

bool ExpressionNot::evalBool() const
{
    return !m_value->evalBool();
}

bool ExpressionNot::dump(DumpFile& file, int level, const char* label) const
{
    if (!NumericValue::dump(file, level, label))
        return false;
    m_value->dump(file, level + 1, "value");
    return true;
}

} // namespace tnUI
