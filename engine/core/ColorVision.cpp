#include "ColorVision.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vexa {

namespace {

const Matrix3 kNormal = {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
// Machado, Oliveira and Fernandes (2009), severity 1.0, on linear sRGB. Each
// row sums to 1, so white and every grey stay as they are.
const Matrix3 kProtan = {{{0.152286, 1.052583, -0.204868},
                          {0.114503, 0.786281, 0.099216},
                          {-0.003882, -0.048116, 1.051998}}};
const Matrix3 kDeutan = {{{0.367322, 0.860646, -0.227968},
                          {0.280085, 0.672501, 0.047413},
                          {-0.011820, 0.042940, 0.968881}}};
const Matrix3 kTritan = {{{1.255528, -0.076749, -0.178779},
                          {-0.078411, 0.930809, 0.147602},
                          {0.004733, 0.691367, 0.303900}}};

// Linear sRGB to CIE XYZ; the white point is the sum of each row, so sRGB
// white lands exactly on L 100, a 0, b 0.
const Matrix3 kToXyz = {{{0.4124564, 0.3575761, 0.1804375},
                         {0.2126729, 0.7151522, 0.0721750},
                         {0.0193339, 0.1191920, 0.9503041}}};

constexpr double kPi = 3.14159265358979323846;

using Triple = std::array<double, 3>;

Triple multiply(const Matrix3& m, const Triple& in) {
    Triple out{};
    for (std::size_t row = 0; row < 3; ++row) {
        out[row] = m[row][0] * in[0] + m[row][1] * in[1] + m[row][2] * in[2];
    }
    return out;
}

Triple linearOf(const Color& color) {
    return {SrgbToLinear(static_cast<double>(color.r)), SrgbToLinear(static_cast<double>(color.g)),
            SrgbToLinear(static_cast<double>(color.b))};
}

double labCurve(double t) {
    constexpr double kEdge = 216.0 / 24389.0;
    constexpr double kSlope = 24389.0 / 27.0;
    return t > kEdge ? std::cbrt(t) : (kSlope * t + 16.0) / 116.0;
}

double degrees(double radians) {
    return radians * 180.0 / kPi;
}

double radians(double degreesValue) {
    return degreesValue * kPi / 180.0;
}

// Hue angle in degrees, 0..360; an achromatic colour has hue 0.
double hueOf(double b, double a) {
    if (a == 0.0 && b == 0.0) return 0.0;
    const double h = degrees(std::atan2(b, a));
    return h < 0.0 ? h + 360.0 : h;
}

}  // namespace

double SrgbToLinear(double channel) {
    const double c = std::clamp(channel, 0.0, 1.0);
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LinearToSrgb(double channel) {
    const double c = std::clamp(channel, 0.0, 1.0);
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

Color SimulateColorVision(const Color& color, ColorVision vision) {
    if (vision == ColorVision::Normal) return color;
    const Triple seen = multiply(SimulationMatrix(vision), linearOf(color));
    return Color(static_cast<float>(LinearToSrgb(seen[0])),
                 static_cast<float>(LinearToSrgb(seen[1])),
                 static_cast<float>(LinearToSrgb(seen[2])), color.a);
}

const Matrix3& SimulationMatrix(ColorVision vision) {
    switch (vision) {
    case ColorVision::Normal:
        return kNormal;
    case ColorVision::Protan:
        return kProtan;
    case ColorVision::Deutan:
        return kDeutan;
    case ColorVision::Tritan:
        return kTritan;
    }
    return kNormal;
}

Lab ToLab(const Color& color) {
    const Triple xyz = multiply(kToXyz, linearOf(color));
    std::array<double, 3> white{};
    for (std::size_t i = 0; i < 3; ++i) white[i] = kToXyz[i][0] + kToXyz[i][1] + kToXyz[i][2];
    const double fx = labCurve(xyz[0] / white[0]);
    const double fy = labCurve(xyz[1] / white[1]);
    const double fz = labCurve(xyz[2] / white[2]);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double Ciede2000(const Lab& first, const Lab& second) {
    // The steps and names follow Sharma, Wu and Dalal (2005).
    const double c1 = std::hypot(first.a, first.b);
    const double c2 = std::hypot(second.a, second.b);
    const double meanC7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(meanC7 / (meanC7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * first.a;
    const double a2 = (1.0 + g) * second.a;
    const double cp1 = std::hypot(a1, first.b);
    const double cp2 = std::hypot(a2, second.b);
    const double hp1 = hueOf(first.b, a1);
    const double hp2 = hueOf(second.b, a2);

    const double dL = second.l - first.l;
    const double dC = cp2 - cp1;
    double dh = 0.0;
    if (cp1 * cp2 != 0.0) {
        dh = hp2 - hp1;
        if (dh > 180.0) dh -= 360.0;
        if (dh < -180.0) dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(radians(dh / 2.0));

    const double meanL = (first.l + second.l) / 2.0;
    const double meanCp = (cp1 + cp2) / 2.0;
    double meanH = hp1 + hp2;
    if (cp1 * cp2 != 0.0) {
        if (std::fabs(hp1 - hp2) <= 180.0) {
            meanH /= 2.0;
        } else {
            meanH = hp1 + hp2 < 360.0 ? (meanH + 360.0) / 2.0 : (meanH - 360.0) / 2.0;
        }
    }
    const double t =
        1.0 - 0.17 * std::cos(radians(meanH - 30.0)) + 0.24 * std::cos(radians(2.0 * meanH)) +
        0.32 * std::cos(radians(3.0 * meanH + 6.0)) - 0.20 * std::cos(radians(4.0 * meanH - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((meanH - 275.0) / 25.0, 2.0));
    const double meanCp7 = std::pow(meanCp, 7.0);
    const double rc = 2.0 * std::sqrt(meanCp7 / (meanCp7 + std::pow(25.0, 7.0)));
    const double l50 = (meanL - 50.0) * (meanL - 50.0);
    const double sl = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sc = 1.0 + 0.045 * meanCp;
    const double sh = 1.0 + 0.015 * meanCp * t;
    const double rt = -std::sin(radians(2.0 * dTheta)) * rc;

    const double l = dL / sl;
    const double c = dC / sc;
    const double h = dH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

double ColorDifference(const Color& first, const Color& second, ColorVision vision) {
    return Ciede2000(ToLab(SimulateColorVision(first, vision)),
                     ToLab(SimulateColorVision(second, vision)));
}

}  // namespace vexa
