#pragma once

#include "../foundation/Export.h"

// Mark positions: the sixteen compass directions around a marking menu's
// centre, plus three special values, and the anchor points built from them.
// Model coordinates are single-precision offsets from the menu centre with y
// pointing up; angles are radians counter-clockwise from East.

/// A mark position: one of the sixteen compass directions around a marking
/// menu's centre or a special value, and the anchor point built from it.
/// Model coordinates are single-precision offsets from the menu centre with
/// y pointing up; angles are radians counter-clockwise from East.
class TNUI_EXPORT tnMarkPosition {
public:
    /// Directions are k x 22.5 degrees counter-clockwise from East (0..15); the
    /// odd values are the in-between directions.
    static constexpr int East = 0;
    /// See East.
    static constexpr int Northeast = 2;
    /// See East.
    static constexpr int North = 4;
    /// See East.
    static constexpr int Northwest = 6;
    /// See East.
    static constexpr int West = 8;
    /// See East.
    static constexpr int Southwest = 10;
    /// See East.
    static constexpr int Southeast = 14;
    /// See East.
    static constexpr int South = 12;
    /// The number of directions.
    static constexpr int NumDirections = 16;
    /// No direction; its angle is 0.
    static constexpr int None = 16;
    /// The overflow list below the centre; its angle is South's.
    static constexpr int Overflow = 17;
    /// "Choose a free direction for me" when adding, and the mark position of
    /// a bare point.
    static constexpr int Auto = 18;

    /// The angle of a mark position. The angle is rounded to single precision
    /// before the upper half is folded to negative angles, so the axis
    /// directions are not exact: North's cosine is about -4.4e-8, West's sine
    /// about -1.5e-7. Values without a direction give 0.
    static float markPositionToAngle(int markPosition);

    /// The bare point (0, 0).
    tnMarkPosition() = default;
    /// The point at that direction and distance from the centre.
    tnMarkPosition(int markPosition, float radius);
    /// A bare point (mark position Auto).
    tnMarkPosition(float x, float y) : m_x(x), m_y(y) {}

    /// The anchor point.
    void getPoint(float& x, float& y) const
    {
        x = m_x;
        y = m_y;
    }
    /// Moves the point; the mark position stays.
    void setPoint(float x, float y)
    {
        m_x = x;
        m_y = y;
    }
    /// The x.
    float getX() const { return m_x; }
    /// The y.
    float getY() const { return m_y; }
    /// Angle (atan2) and distance from the centre.
    void getPolar(float& angle, float& distance) const;
    /// The angle.
    float getAngle() const;
    /// The length.
    float getLength() const;

    /// The mark position.
    int getMarkPosition() const { return m_markPosition; }
    /// Places the point at that direction and distance; ignored for values
    /// that are not directions (outside 0..15).
    void setMarkPosition(int markPosition, float radius);

    /// False only for East, North, West and South.
    bool isOffAxis() const;
    /// False only for the default: a bare point at the centre.
    bool isSet() const { return m_markPosition != Auto || m_x != 0.0f || m_y != 0.0f; }

    friend bool operator==(const tnMarkPosition& a, const tnMarkPosition& b)
    {
        return a.m_markPosition == b.m_markPosition && a.m_x == b.m_x && a.m_y == b.m_y;
    }

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
    int m_markPosition = Auto;
};
