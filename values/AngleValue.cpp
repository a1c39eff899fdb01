#include "AngleValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

#include <cmath>

namespace tnUI {

namespace {

// Degrees in one radian.
constexpr double radianMagnitude = 57.29577951308232;

} // namespace

const char* enumName(AngleUnit unit, bool short_)
{
    switch (unit) {
    case AngleUnit::Radian: return short_ ? "rad" : "radian";
    case AngleUnit::Degree: return short_ ? "deg" : "degree";
    }
    throw ImplError();
}

double angleUnitMagnitude(AngleUnit unit)
{
    return unit == AngleUnit::Radian ? radianMagnitude : 1.0;
}

AngleUnit angleUnitFromMagnitude(double m)
{
    return std::fabs(m - radianMagnitude) < tnLinear::epsilonTol ? AngleUnit::Radian : AngleUnit::Degree;
}

void AngleValue::setDisplayUnit(AngleUnit unit)
{
    if (unit == m_display)
        return;
    m_display = unit;
    Message m(this, Message::Value);
    sendMessage(m);
}

double AngleValue::getDisplayConversionFactor() const
{
    return angleUnitMagnitude(m_internal) / angleUnitMagnitude(m_display);
}

bool AngleValue::dump(DumpFile& file, int level, const char* label) const
{
    // Units outside the table raise ImplError before anything is written.
    const char* internal = enumName(m_internal, false);
    const char* display = enumName(m_display, false);
    if (!RealValue::dump(file, level, label))
        return false;
    file.printf(level + 1, "internal unit = %s display unit = %s\n", internal, display);
    return true;
}

} // namespace tnUI
