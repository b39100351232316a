#include "Vector2.h"

#include "PortableMath.h"
#include "TextForm.h"

#include <cmath>
#include <string>

namespace vexa {

float Vector2::Length() const {
    return std::sqrt(LengthSqr());
}

// Angles feed the rules, so they come from the maths that rounds alike everywhere.
float Vector2::Angle() const {
    return portable::Atan2(y, x);
}

Vector2 Vector2::Rotate(float angle) const {
    float s;
    float c;
    portable::SinCos(angle, s, c);
    return {x * c - y * s, x * s + y * c};
}

std::istream& operator>>(std::istream& stream, Vector2& v) {
    std::string line;
    std::getline(stream, line);
    textform::Throw(textform::Read(line, v));
    return stream;
}

}  // namespace vexa
