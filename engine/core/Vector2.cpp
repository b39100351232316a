#include "Vector2.h"

#include "TextForm.h"

#include <cmath>
#include <string>

namespace vexa {

float Vector2::Length() const {
    return std::sqrt(LengthSqr());
}

float Vector2::Angle() const {
    return std::atan2(y, x);
}

Vector2 Vector2::Rotate(float angle) const {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return {x * c - y * s, x * s + y * c};
}

std::istream& operator>>(std::istream& stream, Vector2& v) {
    std::string line;
    std::getline(stream, line);
    textform::Throw(textform::Read(line, v));
    return stream;
}

}  // namespace vexa
