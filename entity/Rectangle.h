#pragma once

#include "../foundation/Export.h"

#include "../foundation/Linear.h"

namespace tnUI {

class DumpFile;

// An axis-aligned rectangle in window coordinates, where y grows downward:
// the origin is the top-left corner. A plain value, copied freely.
class TNUI_EXPORT Rectangle {
public:
    Rectangle() = default;
    Rectangle(const tnLinear::Point2& origin, const tnLinear::Tuple2& size) : m_origin(origin), m_size(size) {}
    // The box's minimum corner and its size.
    Rectangle(const tnLinear::Range2d& r) : m_origin(r.getMin()), m_size(r.size()) {}
    Rectangle(const Rectangle&) = default;
    Rectangle& operator=(const Rectangle&) = default;
    virtual ~Rectangle();

    friend bool operator==(const Rectangle& a, const Rectangle& b)
    {
        return a.m_origin == b.m_origin && a.m_size == b.m_size;
    }

    void set(const tnLinear::Point2& origin, const tnLinear::Tuple2& size)
    {
        m_origin = origin;
        m_size = size;
    }
    void set(double x, double y, double width, double height)
    {
        m_origin = {x, y};
        m_size = {width, height};
    }
    void move(const tnLinear::Point2& origin) { m_origin = origin; }
    void resize(const tnLinear::Tuple2& size) { m_size = size; }

    double x() const { return m_origin.x; }
    double y() const { return m_origin.y; }
    double width() const { return m_size.x; }
    double height() const { return m_size.y; }
    double left() const { return m_origin.x; }
    double top() const { return m_origin.y; }
    double right() const { return m_origin.x + m_size.x; }
    double bottom() const { return m_origin.y + m_size.y; }

    const tnLinear::Point2& getOrigin() const { return m_origin; }
    const tnLinear::Tuple2& getSize() const { return m_size; }
    tnLinear::Point2 getLowerRight() const { return {right(), bottom()}; }
    // The box from the top-left to the lower-right corner.
    tnLinear::Range2d getRange() const;

    // Maps p, given in the rectangle's own pixel coordinates (0 to width - 1
    // across, the origin not subtracted), onto 0 to 1 when unitRange is set
    // and onto -1 to 1 otherwise. A width or height of 1 divides by zero and
    // gives an infinite or NaN coordinate.
    void normalizePoint(tnLinear::Point2& p, bool unitRange) const;

    // Both width and height within epsilonTol of zero.
    bool isEmpty() const;
    // Inside or on an edge, compared exactly.
    bool contains(const tnLinear::Point2& p) const;

    void dump(DumpFile& file, int level, const char* label) const;

private:
    tnLinear::Point2 m_origin;
    tnLinear::Tuple2 m_size;
};

} // namespace tnUI
