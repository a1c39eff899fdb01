#include "MarkPosition.h"

#include <cmath>
#include <numbers>

float tnMarkPosition::markPositionToAngle(int markPosition)
{
    if (markPosition == Overflow)
        markPosition = South;
    if (markPosition < 0 || markPosition >= NumDirections)
        return 0.0f;
    // Both steps keep the angle in single precision, as the layout has always
    // done; the comparison and the fold are made in double.
    auto angle = static_cast<float>(markPosition * 2.0 * std::numbers::pi * 0.0625);
    if (angle > std::numbers::pi)
        angle = static_cast<float>(angle - 2.0 * std::numbers::pi);
    return angle;
}

tnMarkPosition::tnMarkPosition(int markPosition, float radius) : m_markPosition(markPosition)
{
    const float angle = markPositionToAngle(markPosition);
    m_x = std::cos(angle) * radius;
    m_y = std::sin(angle) * radius;
}

void tnMarkPosition::getPolar(float& angle, float& distance) const
{
    angle = getAngle();
    distance = getLength();
}

float tnMarkPosition::getAngle() const
{
    return std::atan2(m_y, m_x);
}

float tnMarkPosition::getLength() const
{
    // Without the overflow of squaring huge coordinates.
    return std::hypot(m_x, m_y);
}

void tnMarkPosition::setMarkPosition(int markPosition, float radius)
{
    if (markPosition < 0 || markPosition >= NumDirections)
        return;
    *this = tnMarkPosition(markPosition, radius);
}

bool tnMarkPosition::isOffAxis() const
{
    return m_markPosition != East && m_markPosition != North && m_markPosition != West && m_markPosition != South;
}
