#include "LinearValue.h"

#include "../entity/DumpFile.h"
#include "../entity/Error.h"

#include <cmath>
#include <iterator>

namespace tnUI {

namespace {

struct LinearUnitEntry {
    LinearUnit unit;
    const char* longName;
    const char* shortName;
    double magnitude;
};

// In enumeration order, which is also the order of the reverse look-up.
constexpr LinearUnitEntry linearUnits[] = {
    {LinearUnit::Millimeter, "millimeter", "mm", 0.001},
    {LinearUnit::Centimeter, "centimeter", "cm", 0.01},
    {LinearUnit::Meter, "meter", "m", 1.0},
    {LinearUnit::Inch, "inch", "in", 0.0254},
};

const LinearUnitEntry* findLinearUnit(LinearUnit unit) noexcept
{
    const int index = static_cast<int>(unit);
    if (index < 0 || index >= static_cast<int>(std::size(linearUnits)))
        return nullptr;
    return &linearUnits[index];
}

} // namespace

const char* enumName(LinearUnit unit, bool short_)
{
    const LinearUnitEntry* entry = findLinearUnit(unit);
    if (!entry)
        throw ImplError();
    return short_ ? entry->shortName : entry->longName;
}

double linearUnitMagnitude(LinearUnit unit)
{
    const LinearUnitEntry* entry = findLinearUnit(unit);
    return entry ? entry->magnitude : 0.01;
}

LinearUnit linearUnitFromMagnitude(double m)
{
    for (const LinearUnitEntry& entry : linearUnits) {
        if (std::fabs(entry.magnitude - m) < tnLinear::epsilonTol)
            return entry.unit;
    }
    throw ImplError();
}

void LinearValue::setDisplayUnit(LinearUnit unit)
{
    if (unit == m_display)
        return;
    m_display = unit;
    Message m(this, Message::Value);
    sendMessage(m);
}

double LinearValue::getDisplayConversionFactor() const
{
    return linearUnitMagnitude(m_internal) / linearUnitMagnitude(m_display);
}

bool LinearValue::dump(DumpFile& file, int level, const char* label) const
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
