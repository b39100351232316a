#pragma once

#include <istream>

namespace vexa {

// Reversed bounds are accepted and swapped.
float Clamp(float value, float min, float max);

// An RGBA colour with float channels, nominally 0..1; values outside that range
// are kept and only clamped when converted to bytes.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    Color() = default;
    Color(float r_, float g_, float b_, float a_) : r{r_}, g{g_}, b{b_}, a{a_} {}

    // Channel to byte: clamp to 0..1, scale by 255, truncate toward zero; NaN is 0.
    static int ToInt(float channel);
};

// Reads one line of the form "{r, g, b}"; alpha is always 1. A field without a
// number throws std::invalid_argument, one out of float range std::out_of_range,
// as std::stof does (textform::Read does not throw).
std::istream& operator>>(std::istream& stream, Color& color);

}  // namespace vexa
