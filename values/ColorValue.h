#pragma once

#include "../foundation/Export.h"

#include "RealValueArray.h"

namespace tnUI {

/// A colour: four plain real components, red, green, blue and alpha in this
/// order, each ranged by the colour's scale. Set, read and announced as a
/// RealValue4 (one "Value" message per changing setInternalValue); dumped as
/// the array, without the scale.
class TNUI_EXPORT ColorValue : public RealValue4 {
public:
    /// The scale of the channels.
    enum Type : int {
        Max1 = 0,   // channels in [0, 1]
        Max255 = 1, // channels in [0, 255]
    };

    /// Four unset channels ranged by t; another scale raises ImplError.
    explicit ColorValue(Type t);

    /// A new colour ranged by t.
    static tn::Reference<ColorValue> create(Type t);
    /// A Max255 colour holding the channels clamped to [0, 255].
    static tn::Reference<ColorValue> FromRgba(int r, int g, int b, int a);
    /// A Max1 colour holding the channels clamped to [0, 1].
    static tn::Reference<ColorValue> FromRgba(double r, double g, double b, double a);

    /// The type.
    Type getType() const noexcept { return m_type; }

    /// The channels on the 0 to 255 scale, truncated toward zero (saturating
    /// at the int range for a channel a host re-ranged beyond it). An unset
    /// channel raises NotSetError.
    void evalBytes(int (&out)[4]) const;
    /// The channels scaled to [0, 1]. An unset channel raises NotSetError.
    void evalBytes(double (&out)[4]) const;

    /// A new colour of the same scale holding clones of this colour's
    /// channels; without a name, editable.
    tn::Reference<Value> clone() const override;

protected:
    /// The array copy; a colour target takes this colour's scale too.
    void copyInto(Value* other) const override;

private:
    Type m_type;
};

/// "Max1" or "Max255"; another value raises ImplError.
TNUI_EXPORT const char* enumName(ColorValue::Type t);

/// Colour-space conversions, in single precision. RGB channels are in
/// [0, 255], hues in degrees, saturation and lightness in percent.
///
/// getHSLFromRGB remembers the hue of the last colour that was not a grey,
/// process-wide, and reports it as the hue of a grey.
TNUI_EXPORT void getHSLFromRGB(float r, float g, float b, float& h, float& s, float& l);
/// The inverse; a hue outside [0, 360) is wrapped into it first, and a hue
/// that is not finite gives channels that are not numbers.
TNUI_EXPORT void getRGBFromHSL(float h, float s, float l, float& r, float& g, float& b);

/// The colour wheel gives some hue ranges more room than others: a table of 13
/// points maps the wheel angle k * pi / 6 (radians) to a hue (degrees),
/// piecewise linearly. Angles and hues outside one turn keep their whole turns;
/// an infinite or NaN one gives an infinite or NaN result.
TNUI_EXPORT double getHueFromAngle(double angle);
TNUI_EXPORT double getAngleFromHue(double hue);

} // namespace tnUI
