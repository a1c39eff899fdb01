#include "Rectangle.h"

#include "DumpFile.h"

#include <cinttypes>
#include <cmath>
#include <cstdint>

namespace tnUI {

Rectangle::~Rectangle() = default;

tnLinear::Range2d Rectangle::getRange() const
{
    tnLinear::Range2d r;
    r.set(tnLinear::Point2(left(), top()));
    r.extend(getLowerRight());
    return r;
}

void Rectangle::normalizePoint(tnLinear::Point2& p, bool unitRange) const
{
    const tnLinear::Tuple2 d(width() - 1.0, height() - 1.0);
    const tnLinear::Point2 n(p.x / d.x, p.y / d.y);
    if (unitRange)
        p = n;
    else
        p = tnLinear::Point2(2.0 * n.x - 1.0, 2.0 * n.y - 1.0);
}

bool Rectangle::isEmpty() const
{
    return std::fabs(width()) < tnLinear::epsilonTol && std::fabs(height()) < tnLinear::epsilonTol;
}

bool Rectangle::contains(const tnLinear::Point2& p) const
{
    return left() <= p.x && p.x <= right() && top() <= p.y && p.y <= bottom();
}

void Rectangle::dump(DumpFile& file, int level, const char* label) const
{
    const auto ptr = reinterpret_cast<std::uintptr_t>(this);
    if (label)
        file.printf(level, "Rectangle 0x%08" PRIxPTR " %s:\n", ptr, label);
    else
        file.printf(level, "Rectangle 0x%08" PRIxPTR ":\n", ptr);
    file.printf(level + 1, "Origin = (%f, %f)\n", x(), y());
    file.printf(level + 1, "Size = (%f, %f)\n", width(), height());
}

} // namespace tnUI
