#pragma once

#include "../foundation/Export.h"

#include "../foundation/Linear.h"
#include "NumericValue.h"
#include "RangedNumber.h"

namespace tnUI {

/// A signed 32-bit integer with an optional range (whose bounds are held as
/// doubles).
class TNUI_EXPORT IntValue : public NumericValue {
public:
    /// Unset and unbounded.
    IntValue() = default;
    /// Set to v, with v as default. Sends nothing.
    explicit IntValue(int v);

    /// Unset: NotSetError.
    int getValue() const;
    /// Clamps v into the range and stores it; sends "Value" and returns true
    /// when the stored number changed. The first number stored also becomes
    /// the default.
    bool setValue(int v);

    /// A set value is clamped into the new range (and announced when that
    /// changes it); the default is left as it is.
    void setRange(int min, int max);
    /// No bounds.
    void setRangeUnbounded();
    /// The range.
    const tnLinear::Range1d& getRange() const noexcept { return m_number.range; }

    /// Whether the number is not zero; unset: NotSetError.
    bool evalBool() const override;
    /// The number; unset: NotSetError.
    double evalDouble() const override;
    void reset() override;
    bool assign(const Value* const other) override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    RangedNumber<int> m_number;
};

/// Typed setter for a value known only as Value*: null raises NullError, a
/// value that is not an IntValue raises TypeError.
TNUI_EXPORT void setValue(Value* v, int i);

} // namespace tnUI
