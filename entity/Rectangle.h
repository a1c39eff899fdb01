#pragma once

#include "../foundation/Export.h"

#include "../foundation/Linear.h"

namespace tnUI {

class DumpFile;

/// An axis-aligned rectangle in window coordinates, where y grows downward:
/// the origin is the top-left corner. A plain value, copied freely.
class TNUI_EXPORT Rectangle {
public:
    Rectangle() = default;
    /// The rectangle at origin with size.
    Rectangle(const tnLinear::Point2& origin, const tnLinear::Tuple2& size) : m_origin(origin), m_size(size) {}
    /// The box's minimum corner and its size.
    Rectangle(const tnLinear::Range2d& r) : m_origin(r.getMin()), m_size(r.size()) {}
    /// A copy of the given one.
    Rectangle(const Rectangle&) = default;
    /// Assigns a copy of the given one.
    Rectangle& operator=(const Rectangle&) = default;
    virtual ~Rectangle();

    friend bool operator==(const Rectangle& a, const Rectangle& b)
    {
        return a.m_origin == b.m_origin && a.m_size == b.m_size;
    }

    /// Moves and resizes.
    void set(const tnLinear::Point2& origin, const tnLinear::Tuple2& size)
    {
        m_origin = origin;
        m_size = size;
    }
    /// Moves and resizes.
    void set(double x, double y, double width, double height)
    {
        m_origin = {x, y};
        m_size = {width, height};
    }
    /// Moves the origin, keeping the size.
    void move(const tnLinear::Point2& origin) { m_origin = origin; }
    /// Resizes, keeping the origin.
    void resize(const tnLinear::Tuple2& size) { m_size = size; }

    /// The origin's x.
    double x() const { return m_origin.x; }
    /// The origin's y.
    double y() const { return m_origin.y; }
    /// The width.
    double width() const { return m_size.x; }
    /// The height.
    double height() const { return m_size.y; }
    /// The smallest x.
    double left() const { return m_origin.x; }
    /// The y of the origin's side.
    double top() const { return m_origin.y; }
    /// x plus the width.
    double right() const { return m_origin.x + m_size.x; }
    /// y plus the height.
    double bottom() const { return m_origin.y + m_size.y; }

    /// The origin.
    const tnLinear::Point2& getOrigin() const { return m_origin; }
    /// The size.
    const tnLinear::Tuple2& getSize() const { return m_size; }
    /// The corner opposite the origin.
    tnLinear::Point2 getLowerRight() const { return {right(), bottom()}; }
    /// The box from the top-left to the lower-right corner.
    tnLinear::Range2d getRange() const;

    /// Maps p, given in the rectangle's own pixel coordinates (0 to width - 1
    /// across, the origin not subtracted), onto 0 to 1 when unitRange is set
    /// and onto -1 to 1 otherwise. A width or height of 1 divides by zero and
    /// gives an infinite or NaN coordinate.
    void normalizePoint(tnLinear::Point2& p, bool unitRange) const;

    /// Both width and height within epsilonTol of zero.
    bool isEmpty() const;
    /// Inside or on an edge, compared exactly.
    bool contains(const tnLinear::Point2& p) const;

    /// Writes the rectangle's line to the dump file.
    void dump(DumpFile& file, int level, const char* label) const;

private:
    tnLinear::Point2 m_origin;
    tnLinear::Tuple2 m_size;
};

} // namespace tnUI
