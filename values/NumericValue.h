#pragma once

#include "../foundation/Export.h"

#include "Value.h"

namespace tnUI {

/// A value that can be read as a number and as a truth value: the operand type
/// of every expression. It starts unset; reading an unset value raises
/// NotSetError.
class TNUI_EXPORT NumericValue : public Value {
public:
    /// Whether it holds a value.
    virtual bool isSet() const;
    /// Whether it is a expression.
    virtual bool isExpression() const;
    /// The value as a truth value.
    virtual bool evalBool() const = 0;
    /// The value as a number.
    virtual double evalDouble() const = 0;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    NumericValue() = default;

    void copyInto(Value* other) const override;

    /// Nothing makes a value unset again, hence no way back.
    void markSet() noexcept { m_set = true; }

private:
    bool m_set = false;
};

} // namespace tnUI
