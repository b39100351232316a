#pragma once

#include "Color.h"

#include <array>

namespace vexa {

// How colours look to players with and without a colour-vision deficiency, and
// how far apart two colours look. A palette is checked with these: each pair
// of colours a player must tell apart is simulated for each kind of vision and
// compared. Channels are sRGB, 0..1; alpha is ignored.
enum class ColorVision { Normal, Protan, Deutan, Tritan };

// CIELAB under D65: lightness 0..100 and two opponent axes.
struct Lab {
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
};

using Matrix3 = std::array<std::array<double, 3>, 3>;

// One channel between the sRGB encoding and linear light (IEC 61966-2-1).
double SrgbToLinear(double channel);
double LinearToSrgb(double channel);

// The colour as that vision sees it: the physiological model of Machado,
// Oliveira and Fernandes (2009) at full severity, applied in linear light and
// kept inside the displayable range. Normal vision returns the colour itself.
Color SimulateColorVision(const Color& color, ColorVision vision);
// The matrix that simulation applies to linear sRGB; the identity for normal vision.
const Matrix3& SimulationMatrix(ColorVision vision);

Lab ToLab(const Color& color);

// The CIEDE2000 difference (kL = kC = kH = 1); about 1 is the smallest a
// trained eye notices side by side, 20 and more reads at a glance.
double Ciede2000(const Lab& first, const Lab& second);

// How far apart the two colours look to that vision.
double ColorDifference(const Color& first, const Color& second, ColorVision vision);

}  // namespace vexa
