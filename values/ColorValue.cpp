#include "ColorValue.h"

#include "../entity/Error.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

namespace tnUI {

namespace {

// The hue of the last colour converted that was not a grey. Constant
// initialisation: nothing runs at load.
float lastHue = 0.0f;

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSixthPi = 0.5235987755982988;

struct WheelPoint {
    double angle;
    double hue;
};

using Wheel = std::array<WheelPoint, 13>;

// The wheel's table, in angle (and hue) order, built on first use.
const Wheel& wheel()
{
    static const Wheel table = [] {
        constexpr std::array<double, 13> hues{0, 23, 34, 47, 60, 78, 117, 191, 208, 235, 277, 323, 360};
        Wheel points{};
        for (int k = 0; k < 13; ++k)
            points[k] = {k * kSixthPi, hues[k]};
        return points;
    }();
    return table;
}

// Brings x into [0, turn] by whole turns, which it returns (negative below
// 0). Turn by turn, as the wheel has always done, so that results keep their
// last bits; far-off numbers first jump to their exact remainder, so that the
// walk ends even where adding a turn no longer changes the number.
double wholeTurns(double& x, double turn)
{
    double turns = 0.0;
    if (std::fabs(x) > 64.0 * turn) {
        const double rest = std::fmod(x, turn);
        turns = std::round((x - rest) / turn);
        x = rest;
    }
    while (x < 0) {
        x += turn;
        --turns;
    }
    while (x > turn) {
        x -= turn;
        ++turns;
    }
    return turns;
}

// A channel's number as an int, truncated toward zero; saturating, since a
// host may re-range a channel beyond what an int holds.
int truncatedChannel(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, double(INT_MIN), double(INT_MAX)));
}

} // namespace

const char* enumName(ColorValue::Type t)
{
    switch (t) {
    case ColorValue::Max1: return "Max1";
    case ColorValue::Max255: return "Max255";
    }
    throw ImplError();
}

ColorValue::ColorValue(Type t) : RealValue4(Real, SameAsPrevious, SameAsPrevious, SameAsPrevious), m_type(t)
{
    enumName(t);
    const double max = t == Max1 ? 1.0 : 255.0;
    for (int i = 0; i < 4; ++i)
        getValue(i)->setRange(0.0, max);
}

tn::Reference<ColorValue> ColorValue::create(Type t)
{
    return tn::Reference<ColorValue>(new ColorValue(t));
}

tn::Reference<ColorValue> ColorValue::FromRgba(int r, int g, int b, int a)
{
    tn::Reference<ColorValue> c = create(Max255);
    c->setInternalValue(r, g, b, a);
    return c;
}

tn::Reference<ColorValue> ColorValue::FromRgba(double r, double g, double b, double a)
{
    tn::Reference<ColorValue> c = create(Max1);
    c->setInternalValue(r, g, b, a);
    return c;
}

void ColorValue::evalBytes(int (&out)[4]) const
{
    const double scale = m_type == Max1 ? 255.0 : 1.0;
    for (int i = 0; i < 4; ++i)
        out[i] = truncatedChannel(getValue(i)->evalInternal() * scale);
}

void ColorValue::evalBytes(double (&out)[4]) const
{
    const double scale = m_type == Max1 ? 1.0 : 0.00392156862745098;
    for (int i = 0; i < 4; ++i)
        out[i] = getValue(i)->evalInternal() * scale;
}

tn::Reference<Value> ColorValue::clone() const
{
    tn::Reference<ColorValue> copy = create(m_type);
    copyInto(copy.get());
    return copy;
}

void ColorValue::copyInto(Value* other) const
{
    RealValueArray::copyInto(other);
    if (auto* colour = dynamic_cast<ColorValue*>(other))
        colour->m_type = m_type;
}

void getHSLFromRGB(float r, float g, float b, float& h, float& s, float& l)
{
    h = s = l = 0.0f;
    constexpr float k = 1.0f / 255.0f;
    const float rr = r * k, gg = g * k, bb = b * k;
    float mx = rr, mn = rr;
    for (const float c : {gg, bb}) {
        if (c > mx)
            mx = c;
        if (c < mn)
            mn = c;
    }
    const float light = 0.5f * (mx + mn);
    if (mx == mn) {
        // A grey has no hue of its own: it reports the last one computed.
        h = lastHue;
        l = light * 100.0f;
        return;
    }
    const float d = mx - mn;
    const float sat = light <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
    float hue = 0.0f;
    if (mx == rr)
        hue = (gg - bb) / d;
    else if (mx == gg)
        hue = 2.0f + (bb - rr) / d;
    else
        hue = 4.0f + (rr - gg) / d;
    hue *= 1.0f / 6.0f;
    if (hue < 0.0f)
        hue += 1.0f;
    h = hue * 360.0f;
    // A channel that is not a number makes no hue: greys keep reporting the
    // last real one.
    if (std::isfinite(h))
        lastHue = h;
    l = light * 100.0f;
    s = sat * 100.0f;
}

void getRGBFromHSL(float h, float s, float l, float& r, float& g, float& b)
{
    if (s == 0.0f) {
        r = g = b = (l / 100.0f) * 255.0f;
        return;
    }
    // Hues outside one turn would leave no sextant: wrap them first. A hue
    // that is no number has no sextant at all.
    if (!std::isfinite(h)) {
        r = g = b = std::nanf("");
        return;
    }
    if (!(h >= 0.0f && h < 360.0f)) {
        h = std::fmod(h, 360.0f);
        if (h < 0.0f)
            h += 360.0f;
    }
    const float sat = s / 100.0f, light = l / 100.0f, hue = h * (1.0f / 360.0f);
    const float q = light <= 0.5f ? light * (1.0f + sat) : light + sat - light * sat;
    if (q <= 0.0f) {
        r = g = b = 0.0f;
        return;
    }
    const float p = 2.0f * light - q;
    const float h6 = hue * 6.0f;
    int n = static_cast<int>(h6);
    const float f = h6 - static_cast<float>(n);
    const float v = ((q - p) / q) * q * f;
    const float rising = p + v, falling = q - v;
    // A hue just below 360 may round up to a whole turn, which is sextant 0.
    n %= 6;
    float channels[6][3] = {{q, rising, p},  {falling, q, p}, {p, q, rising},
                            {p, falling, q}, {rising, p, q},  {q, p, falling}};
    r = channels[n][0] * 255.0f;
    g = channels[n][1] * 255.0f;
    b = channels[n][2] * 255.0f;
}

double getHueFromAngle(double angle)
{
    if (!std::isfinite(angle))
        return angle / kPi * 180.0;
    const double turns = wholeTurns(angle, kTwoPi);
    const Wheel& points = wheel();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const WheelPoint& lo = points[i];
        const WheelPoint& hi = points[i + 1];
        if (lo.angle <= angle && angle < hi.angle)
            return lo.hue + (angle - lo.angle) * (hi.hue - lo.hue) / kSixthPi + 360.0 * turns;
    }
    return angle / kPi * 180.0;
}

double getAngleFromHue(double hue)
{
    if (!std::isfinite(hue))
        return hue / 180.0 * kPi;
    const double turns = wholeTurns(hue, 360.0);
    const Wheel& points = wheel();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const WheelPoint& lo = points[i];
        const WheelPoint& hi = points[i + 1];
        if (lo.hue <= hue && hue < hi.hue)
            return lo.angle + (hue - lo.hue) * (hi.angle - lo.angle) / (hi.hue - lo.hue) + kTwoPi * turns;
    }
    return hue / 180.0 * kPi;
}

} // namespace tnUI
