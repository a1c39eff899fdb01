#pragma once

#include "../foundation/Export.h"

#include "../foundation/ReferenceCount.h"
#include "NumericValue.h"

namespace tnUI {

/// A numeric value computed from other numeric values. An expression caches
/// nothing: every evaluation walks the tree and reads the current operands, and
/// an unset leaf raises NotSetError through it. It passes every message of its
/// operands on as "Forward", also when its result does not change, so that a
/// change deep in a tree climbs node by node to whoever listens at the root.
class TNUI_EXPORT Expression : public NumericValue {
public:
    /// A node without operands, for expressions the host defines.
    Expression() = default;

    /// Whether it is a expression.
    bool isExpression() const override;
    /// 1.0 when evalBool() is true, else 0.0.
    double evalDouble() const override;
    /// Whether the node computes a truth value (true) or a number (false).
    virtual bool isBoolExpression() const;
};

/// An expression of two operands, fixed at construction. The operands are
/// held and listened to for the expression's whole life; an operand given as
/// both left and right is listened to twice, so each of its messages is passed
/// on twice.
class TNUI_EXPORT BinaryExpression : public Expression {
public:
    /// Null operands raise NullError.
    BinaryExpression(NumericValue* left, NumericValue* right);

    /// The left operand.
    NumericValue* getLeft() noexcept { return m_left.get(); }
    /// The left operand.
    const NumericValue* getLeft() const noexcept { return m_left.get(); }
    /// The right operand.
    NumericValue* getRight() noexcept { return m_right.get(); }
    /// The right operand.
    const NumericValue* getRight() const noexcept { return m_right.get(); }

    /// Both operands are set (right is not asked when left is unset).
    bool isSet() const override;
    /// Resets left, then right.
    void reset() override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<NumericValue> m_left;
    tn::Reference<NumericValue> m_right;
};

/// Left's truth, and only if that is true, right's.
class TNUI_EXPORT ExpressionAnd : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// Left's truth, and only if that is false, right's.
class TNUI_EXPORT ExpressionOr : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// The four ordering comparisons compare the operands' numbers exactly; a NaN
/// on either side makes them false.
class TNUI_EXPORT ExpressionLess : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// See ExpressionLess.
class TNUI_EXPORT ExpressionLessEq : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// See ExpressionLess.
class TNUI_EXPORT ExpressionGreater : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// See ExpressionLess.
class TNUI_EXPORT ExpressionGreaterEq : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// Equality within tnLinear::epsilonTol, as an absolute tolerance; a NaN on
/// either side makes the numbers unequal.
class TNUI_EXPORT ExpressionEqual : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// See ExpressionEqual.
class TNUI_EXPORT ExpressionNotEqual : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
};

/// The arithmetic nodes compute a number; as a truth value it is true unless
/// it lies within epsilonTol of zero (NaN is true).
class TNUI_EXPORT ExpressionAdd : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
    double evalDouble() const override;
    bool isBoolExpression() const override;
};

/// See ExpressionAdd.
class TNUI_EXPORT ExpressionSubtract : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
    double evalDouble() const override;
    bool isBoolExpression() const override;
};

/// See ExpressionAdd.
class TNUI_EXPORT ExpressionMultiply : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
    double evalDouble() const override;
    bool isBoolExpression() const override;
};

/// The divisor is evaluated first; one within epsilonTol of zero gives
/// 2147483647.0 whatever the signs, without evaluating the dividend.
class TNUI_EXPORT ExpressionDivide : public BinaryExpression {
public:
    using BinaryExpression::BinaryExpression;
    bool evalBool() const override;
    double evalDouble() const override;
    bool isBoolExpression() const override;
};

/// The negation of one operand, fixed at construction, held and listened to.
class TNUI_EXPORT ExpressionNot : public Expression {
public:
    /// Null raises NullError.
    explicit ExpressionNot(NumericValue* value);

    /// The value.
    NumericValue* getValue() noexcept { return m_value.get(); }
    /// The value.
    const NumericValue* getValue() const noexcept { return m_value.get(); }

    /// Whether it holds a value.
    bool isSet() const override;
    void reset() override;
    bool evalBool() const override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    tn::Reference<NumericValue> m_value;
};

} // namespace tnUI
