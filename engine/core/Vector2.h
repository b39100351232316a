#pragma once

#include <istream>

namespace vexa {

// A point or direction in window pixels; y grows downwards, so positive angles
// turn clockwise on screen.
struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    Vector2() = default;
    Vector2(float x_, float y_) : x{x_}, y{y_} {}
    Vector2(int x_, int y_) : x{static_cast<float>(x_)}, y{static_cast<float>(y_)} {}
    explicit Vector2(float v) : x{v}, y{v} {}

    Vector2 operator*(float s) const { return {x * s, y * s}; }
    Vector2 operator+(const Vector2& v) const { return {x + v.x, y + v.y}; }
    Vector2 operator-(const Vector2& v) const { return {x - v.x, y - v.y}; }

    Vector2& operator+=(const Vector2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }

    // Component-wise; a uniform factor k is applied as v *= Vector2(k).
    Vector2& operator*=(const Vector2& v) {
        x *= v.x;
        y *= v.y;
        return *this;
    }

    float LengthSqr() const { return x * x + y * y; }
    float Length() const;
    float Angle() const;
    Vector2 Rotate(float angle) const;

    static float Distance(const Vector2& a, const Vector2& b) { return (b - a).Length(); }
};

// Reads one line of the form "{x, y}". A field without a number throws
// std::invalid_argument, one out of float range std::out_of_range, as std::stof
// does: the caller decides what that means (textform::Read does not throw).
std::istream& operator>>(std::istream& stream, Vector2& v);

}  // namespace vexa
