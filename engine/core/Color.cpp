#include "Color.h"

#include "TextForm.h"

#include <cmath>
#include <string>
#include <utility>

namespace vexa {

float Clamp(float value, float min, float max) {
    if (min > max) std::swap(min, max);
    if (min > value) return min;
    if (value > max) return max;
    return value;
}

int Color::ToInt(float channel) {
    // NaN passes every comparison in Clamp, and converting it to int is undefined.
    if (std::isnan(channel)) return 0;
    return static_cast<int>(Clamp(channel, 0.0f, 1.0f) * 255.0f);
}

std::istream& operator>>(std::istream& stream, Color& color) {
    std::string line;
    std::getline(stream, line);
    textform::Throw(textform::Read(line, color));
    return stream;
}

}  // namespace vexa
