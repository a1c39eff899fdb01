#pragma once

#include "../foundation/Export.h"

#include "../foundation/Linear.h"
#include "NumericValue.h"
#include "RangedNumber.h"

namespace tnUI {

/// A real number with an optional range. The number is kept in internal units;
/// what the user sees is the internal number times getDisplayConversionFactor().
/// Range and change test always work in internal units.
class TNUI_EXPORT RealValue : public NumericValue {
public:
    /// Unset and unbounded.
    RealValue() = default;
    /// Set to v, with v as default; unbounded. Sends nothing.
    explicit RealValue(double v);

    /// The number in internal units. Unset: NotSetError.
    double evalInternal() const;
    /// The number in the display unit. Unset: NotSetError.
    double evalDisplay() const;

    /// Clamps v into the range and stores it without a message; true when the
    /// stored number changed. The first number stored also becomes the default.
    bool setInternalValueSilent(double v);
    /// The same, then a root "Value" message when the number changed.
    bool setInternalValue(double v);
    /// Sets the display value silent.
    bool setDisplayValueSilent(double v);
    /// Sets the display value.
    bool setDisplayValue(double v);

    /// 1.0 here; unit values give their unit's factor.
    virtual double getDisplayConversionFactor() const;
    /// x converted from internal to display units.
    double toDisplay(double x) const;
    /// x converted from display to internal units.
    double toInternal(double x) const;

    /// A set value is clamped into the new range (and announced when that
    /// changes it); the default is left as it is.
    void setRange(double min, double max);
    /// No bounds.
    void setRangeUnbounded();
    /// The range.
    const tnLinear::Range1d& getRange() const noexcept { return m_number.range; }

    /// Whether the number lies outside epsilonTol of zero; unset: NotSetError.
    bool evalBool() const override;
    /// The number in internal units; unset: NotSetError.
    double evalDouble() const override;
    void reset() override;
    bool assign(const Value* const other) override;
    tn::Reference<Value> clone() const override;

    bool dump(DumpFile& file, int level, const char* label) const override;

protected:
    void copyInto(Value* other) const override;

private:
    RangedNumber<double> m_number;
};

/// Typed setters for a value known only as Value*: null raises NullError, a
/// value that is not a RealValue (unit values included) raises TypeError.
TNUI_EXPORT void setInternalValue(Value* v, double d);
TNUI_EXPORT void setDisplayValue(Value* v, double d);

} // namespace tnUI
