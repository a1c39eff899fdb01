#pragma once

#include "../foundation/Export.h"

#include "RealValue.h"

namespace tnUI {

/// Length units; the magnitude of each is its length in meters.
enum class LinearUnit : int { Millimeter = 0, Centimeter = 1, Meter = 2, Inch = 3 };

/// The long text of the unit ("millimeter"), or its short text ("mm") when
/// short_ is true. A unit outside the table raises ImplError.
TNUI_EXPORT const char* enumName(LinearUnit unit, bool short_);
/// The unit's length in meters; 0.01 for a value outside the table.
TNUI_EXPORT double linearUnitMagnitude(LinearUnit unit);
/// The first unit (millimeter, centimeter, meter, inch) whose magnitude lies
/// within tnLinear::epsilonTol of m; none raises ImplError.
TNUI_EXPORT LinearUnit linearUnitFromMagnitude(double m);

/// A length kept in an internal unit and shown in a display unit; both start
/// as centimeters. Range, clamping, change test and expressions work on the
/// internal number.
class TNUI_EXPORT LinearValue : public RealValue {
public:
    LinearValue() = default;
    /// The length v in the internal unit.
    explicit LinearValue(double v) : RealValue(v) {}

    /// The stored numbers are kept as they are, and nothing is sent.
    void setInternalUnit(LinearUnit unit) noexcept { m_internal = unit; }
    /// The internal unit.
    LinearUnit getInternalUnit() const noexcept { return m_internal; }
    /// A different unit changes the displayed number: announced as "Value".
    void setDisplayUnit(LinearUnit unit);
    /// The display unit.
    LinearUnit getDisplayUnit() const noexcept { return m_display; }

    /// magnitude(internal unit) / magnitude(display unit).
    double getDisplayConversionFactor() const override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    LinearUnit m_internal = LinearUnit::Centimeter;
    LinearUnit m_display = LinearUnit::Centimeter;
};

} // namespace tnUI
