#pragma once

#include "Export.h"

#include <limits>

namespace tnLinear {

/// The one absolute tolerance for comparing numbers: the truth of a number,
/// equality in expressions, unit and position lookup, compass positions. The
/// numbers compared are user-interface quantities (pixels, positions, unit
/// magnitudes, order values) of moderate size; a few arithmetic steps on them
/// leave rounding errors around 1e-12, far below 1e-9, while any two numbers a
/// user can tell apart differ by much more.
inline constexpr double epsilonTol = 1e-9;

/// Two doubles. Points, vectors and sizes in the plane are all tuples: the
/// names Point2 and Vector2 say what a value means, the type is the same.
class TNUI_EXPORT Tuple2 {
public:
    constexpr Tuple2() = default;
    /// The tuple (x, y).
    constexpr Tuple2(double x_, double y_) : x(x_), y(y_) {}

    /// Adds it in place.
    constexpr Tuple2& operator+=(const Tuple2& t)
    {
        x += t.x;
        y += t.y;
        return *this;
    }
    /// Subtracts it in place.
    constexpr Tuple2& operator-=(const Tuple2& t)
    {
        x -= t.x;
        y -= t.y;
        return *this;
    }
    /// Scales by it in place.
    constexpr Tuple2& operator*=(double s)
    {
        x *= s;
        y *= s;
        return *this;
    }

    friend constexpr Tuple2 operator+(Tuple2 a, const Tuple2& b) { return a += b; }
    friend constexpr Tuple2 operator-(Tuple2 a, const Tuple2& b) { return a -= b; }
    friend constexpr Tuple2 operator-(const Tuple2& a) { return {-a.x, -a.y}; }
    friend constexpr Tuple2 operator*(Tuple2 a, double s) { return a *= s; }
    friend constexpr Tuple2 operator*(double s, Tuple2 a) { return a *= s; }
    friend constexpr Tuple2 operator/(const Tuple2& a, double s) { return {a.x / s, a.y / s}; }
    /// Exact comparison; compare with epsilonTol where rounding matters.
    friend constexpr bool operator==(const Tuple2&, const Tuple2&) = default;

    /// The point (0, 0).
    static const Tuple2 origin;
    /// The vector (0, 0).
    static const Tuple2 zero;

    /// The components.
    double x = 0.0;
    /// See x.
    double y = 0.0;
};

/// Three doubles; a point in space.
class TNUI_EXPORT Tuple3 {
public:
    constexpr Tuple3() = default;
    /// The tuple (x, y, z).
    constexpr Tuple3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    /// Adds it in place.
    constexpr Tuple3& operator+=(const Tuple3& t)
    {
        x += t.x;
        y += t.y;
        z += t.z;
        return *this;
    }
    /// Subtracts it in place.
    constexpr Tuple3& operator-=(const Tuple3& t)
    {
        x -= t.x;
        y -= t.y;
        z -= t.z;
        return *this;
    }
    /// Scales by it in place.
    constexpr Tuple3& operator*=(double s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    friend constexpr Tuple3 operator+(Tuple3 a, const Tuple3& b) { return a += b; }
    friend constexpr Tuple3 operator-(Tuple3 a, const Tuple3& b) { return a -= b; }
    friend constexpr Tuple3 operator-(const Tuple3& a) { return {-a.x, -a.y, -a.z}; }
    friend constexpr Tuple3 operator*(Tuple3 a, double s) { return a *= s; }
    friend constexpr Tuple3 operator*(double s, Tuple3 a) { return a *= s; }
    friend constexpr Tuple3 operator/(const Tuple3& a, double s) { return {a.x / s, a.y / s, a.z / s}; }
    friend constexpr bool operator==(const Tuple3&, const Tuple3&) = default;

    /// The point (0, 0, 0).
    static const Tuple3 origin;
    /// The vector (0, 0, 0).
    static const Tuple3 zero;

    /// The components.
    double x = 0.0;
    /// See x.
    double y = 0.0;
    /// See x.
    double z = 0.0;
};

/// Four doubles.
class TNUI_EXPORT Tuple4 {
public:
    constexpr Tuple4() = default;
    /// The tuple (x, y, z, w).
    constexpr Tuple4(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}

    /// Adds it in place.
    constexpr Tuple4& operator+=(const Tuple4& t)
    {
        x += t.x;
        y += t.y;
        z += t.z;
        w += t.w;
        return *this;
    }
    /// Subtracts it in place.
    constexpr Tuple4& operator-=(const Tuple4& t)
    {
        x -= t.x;
        y -= t.y;
        z -= t.z;
        w -= t.w;
        return *this;
    }
    /// Scales by it in place.
    constexpr Tuple4& operator*=(double s)
    {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }

    friend constexpr Tuple4 operator+(Tuple4 a, const Tuple4& b) { return a += b; }
    friend constexpr Tuple4 operator-(Tuple4 a, const Tuple4& b) { return a -= b; }
    friend constexpr Tuple4 operator-(const Tuple4& a) { return {-a.x, -a.y, -a.z, -a.w}; }
    friend constexpr Tuple4 operator*(Tuple4 a, double s) { return a *= s; }
    friend constexpr Tuple4 operator*(double s, Tuple4 a) { return a *= s; }
    friend constexpr Tuple4 operator/(const Tuple4& a, double s) { return {a.x / s, a.y / s, a.z / s, a.w / s}; }
    friend constexpr bool operator==(const Tuple4&, const Tuple4&) = default;

    /// The tuple (0, 0, 0, 0).
    static const Tuple4 zero;

    /// The components.
    double x = 0.0;
    /// See x.
    double y = 0.0;
    /// See x.
    double z = 0.0;
    /// See x.
    double w = 0.0;
};

using Point2 = Tuple2;
using Vector2 = Tuple2;
/// A point in space (x, y, z).
using Point = Tuple3;

/// Euclidean distance.
TNUI_EXPORT double distance(const Point2& a, const Point2& b);
TNUI_EXPORT double distance(const Point& a, const Point& b);

/// A closed interval [min, max] of doubles, or no bound at all. set() stores
/// the bounds as given, without reordering them: an interval whose maximum is
/// below its minimum is the unbounded state, the one setUnbounded() makes and a
/// default-constructed range has.
class TNUI_EXPORT Range1d {
public:
    Range1d() = default;
    /// The range from min to max.
    Range1d(double min, double max) : m_min(min), m_max(max) {}

    /// The range becomes min to max.
    void set(double min, double max)
    {
        m_min = min;
        m_max = max;
    }
    /// No bounds: the unbounded state of a default-constructed range.
    void setUnbounded();
    /// Whether it is unbounded.
    bool isUnbounded() const { return m_max < m_min; }

    /// The lower bound.
    double getMin() const { return m_min; }
    /// The upper bound.
    double getMax() const { return m_max; }
    /// max - min; infinity when unbounded.
    double size() const;
    /// min <= v <= max, exactly; true for every v when unbounded, false for NaN
    /// when bounded.
    bool contains(double v) const;
    /// The nearest bound when v lies outside the interval, else v unchanged;
    /// unbounded ranges and NaN leave v unchanged. Exact comparisons.
    double clamp(double v) const;

    friend bool operator==(const Range1d&, const Range1d&) = default;

private:
    /// The unbounded state is the widest inverted interval.
    double m_min = std::numeric_limits<double>::max();
    double m_max = std::numeric_limits<double>::lowest();
};

/// An axis-aligned box in the plane given by its minimum and maximum corners,
/// or empty. A default-constructed box is empty; set() makes it the single
/// point given and extend() grows it to include further points. The corners
/// of an empty box mean nothing.
class TNUI_EXPORT Range2d {
public:
    Range2d() = default;
    /// The smallest range holding a and b.
    Range2d(const Point2& a, const Point2& b) { set(a, b); }

    /// The range holding only p.
    void set(const Point2& p)
    {
        m_min = p;
        m_max = p;
    }
    /// The smallest box holding both corners, in whichever order they come.
    void set(const Point2& a, const Point2& b)
    {
        set(a);
        extend(b);
    }
    /// Grows the range to hold p.
    void extend(const Point2& p);
    /// The range becomes empty: it holds no point.
    void setEmpty();
    /// Whether it is empty.
    bool isEmpty() const { return m_max.x < m_min.x || m_max.y < m_min.y; }

    /// The lower bound.
    const Point2& getMin() const { return m_min; }
    /// The upper bound.
    const Point2& getMax() const { return m_max; }
    /// Width and height; (0, 0) when empty.
    Tuple2 size() const;
    /// Inside or on the border, exactly; false when empty.
    bool contains(const Point2& p) const;

    friend bool operator==(const Range2d&, const Range2d&) = default;

private:
    Point2 m_min{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Point2 m_max{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
};

} // namespace tnLinear
