#pragma once

#include "../foundation/Export.h"

namespace tnUI {

// Colour-space conversions, in single precision. RGB channels are in
// [0, 255], hues in degrees, saturation and lightness in percent.
//
// getHSLFromRGB remembers the hue of the last colour that was not a grey,
// process-wide, and reports it as the hue of a grey.
TNUI_EXPORT void getHSLFromRGB(float r, float g, float b, float& h, float& s, float& l);
// The inverse; a hue outside [0, 360) is wrapped into it first.
TNUI_EXPORT void getRGBFromHSL(float h, float s, float l, float& r, float& g, float& b);

// The colour wheel gives some hue ranges more room than others: a table of 13
// points maps the wheel angle k * pi / 6 (radians) to a hue (degrees),
// piecewise linearly. Angles and hues outside one turn keep their whole turns.
TNUI_EXPORT double getHueFromAngle(double angle);
TNUI_EXPORT double getAngleFromHue(double hue);

} // namespace tnUI
