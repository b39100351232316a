#pragma once

#include <cstdint>
#include <cstring>

// Float functions that give the same bits on every platform the game ships on.
// The C libraries of Linux, Windows and the browser round sin, cos, atan2 and pow
// differently in the last bit, which is enough to make one run diverge from another;
// these are computed in double with + - * / only, so every IEEE machine agrees.
// Each result is within one unit in the last place of the true value.
namespace vexa::portable {

float Sin(float angle);
float Cos(float angle);
// Both at the cost of one argument reduction.
void SinCos(float angle, float& sine, float& cosine);
// The angle of (x, y) in [-pi, pi], with the C library's signed zeros, axes and infinities.
float Atan2(float y, float x);
// The C library's pow, including its special cases for zeros, infinities and negative bases.
float Pow(float base, float exponent);

// A number's IEEE bits, and the number of given bits.
inline std::uint32_t BitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline std::uint64_t BitsOf(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float FloatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline double DoubleFromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace vexa::portable
