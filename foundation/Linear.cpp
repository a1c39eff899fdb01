#include "Linear.h"

#include <algorithm>
#include <cmath>

namespace tnLinear {

const Tuple2 Tuple2::origin{0.0, 0.0};
const Tuple2 Tuple2::zero{0.0, 0.0};
const Tuple3 Tuple3::origin{0.0, 0.0, 0.0};
const Tuple3 Tuple3::zero{0.0, 0.0, 0.0};
const Tuple4 Tuple4::zero{0.0, 0.0, 0.0, 0.0};

double distance(const Point2& a, const Point2& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

double distance(const Point& a, const Point& b)
{
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

void Range1d::setUnbounded()
{
    *this = Range1d();
}

double Range1d::size() const
{
    return isUnbounded() ? std::numeric_limits<double>::infinity() : m_max - m_min;
}

bool Range1d::contains(double v) const
{
    return isUnbounded() || (m_min <= v && v <= m_max);
}

double Range1d::clamp(double v) const
{
    if (isUnbounded())
        return v;
    if (v < m_min)
        return m_min;
    if (v > m_max)
        return m_max;
    return v;
}

void Range2d::extend(const Point2& p)
{
    m_min.x = std::min(m_min.x, p.x);
    m_min.y = std::min(m_min.y, p.y);
    m_max.x = std::max(m_max.x, p.x);
    m_max.y = std::max(m_max.y, p.y);
}

void Range2d::setEmpty()
{
    *this = Range2d();
}

Tuple2 Range2d::size() const
{
    if (isEmpty())
        return Tuple2::zero;
    return m_max - m_min;
}

bool Range2d::contains(const Point2& p) const
{
    return m_min.x <= p.x && p.x <= m_max.x && m_min.y <= p.y && p.y <= m_max.y;
}

} // namespace tnLinear
