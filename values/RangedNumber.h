#pragma once

#include "../foundation/Linear.h"

namespace tnUI {

/// The number of a ranged numeric value (IntValue, RealValue): the stored
/// number, its default and an optional range whose bounds are doubles.
template <class T>
struct RangedNumber {
    /// Clamps v into the range and stores it; false when the value was set and
    /// the clamped number equals the stored one. The first number stored also
    /// becomes the default. Exact comparisons: a NaN passes the clamp unchanged
    /// and never equals the stored number; an integer clamped to a bound gets
    /// the bound truncated toward zero.
    bool store(T v, bool wasSet)
    {
        const T x = static_cast<T>(range.clamp(static_cast<double>(v)));
        if (wasSet && value == x)
            return false;
        if (!wasSet)
            defaultValue = x;
        value = x;
        return true;
    }

    /// The bounds; unbounded by default.
    tnLinear::Range1d range;
    /// The stored number.
    T value{};
    /// The default, the first number stored.
    T defaultValue{};
};

} // namespace tnUI
