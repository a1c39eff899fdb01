#pragma once

#include "../foundation/Export.h"

#include "RealValue.h"

namespace tnUI {

/// Angle units; the magnitude of each is its size in degrees.
enum class AngleUnit : int { Radian = 0, Degree = 1 };

/// The long text of the unit ("radian"), or its short text ("rad") when short_
/// is true. A unit outside the table raises ImplError.
TNUI_EXPORT const char* enumName(AngleUnit unit, bool short_);
/// 180/pi for radians, 1.0 for every other value.
TNUI_EXPORT double angleUnitMagnitude(AngleUnit unit);
/// Radian when m lies within tnLinear::epsilonTol of 180/pi, degree for every
/// other m.
TNUI_EXPORT AngleUnit angleUnitFromMagnitude(double m);

/// An angle kept in an internal unit and shown in a display unit; both start
/// as degrees. Range, clamping, change test and expressions work on the
/// internal number.
class TNUI_EXPORT AngleValue : public RealValue {
public:
    AngleValue() = default;
    /// The angle v in the internal unit.
    explicit AngleValue(double v) : RealValue(v) {}

    /// The stored numbers are kept as they are, and nothing is sent.
    void setInternalUnit(AngleUnit unit) noexcept { m_internal = unit; }
    /// The internal unit.
    AngleUnit getInternalUnit() const noexcept { return m_internal; }
    /// A different unit changes the displayed number: announced as "Value".
    void setDisplayUnit(AngleUnit unit);
    /// The display unit.
    AngleUnit getDisplayUnit() const noexcept { return m_display; }

    /// magnitude(internal unit) / magnitude(display unit).
    double getDisplayConversionFactor() const override;

    bool dump(DumpFile& file, int level, const char* label) const override;

private:
    AngleUnit m_internal = AngleUnit::Degree;
    AngleUnit m_display = AngleUnit::Degree;
};

} // namespace tnUI
