#pragma once

#include <string>

namespace vexa {

struct Color;
struct Vector2;

// The one-line text forms of the math types, "{x, y}" and "{r, g, b}", and the
// number fields inside them. The readers never throw: each says what it found,
// and only the stream operators of Vector2 and Color make exceptions of it.
namespace textform {

// The characters after the first `open` up to the first `close`. Missing marks
// behave as std::string::find's npos makes them: a missing opener starts the
// field at the beginning of the line, a missing closer runs it to the end.
inline std::string Between(const std::string& line, char open, char close) {
    const std::size_t start = line.find(open) + 1;
    const std::size_t length = line.find(close) - start;
    return line.substr(start, length);
}

// What a field held: the three outcomes std::stof and std::stoi tell apart.
enum class Field { Number, NoNumber, OutOfRange };

// White space first, then the longest number, the rest ignored: exactly what
// std::stof takes, read with strtof (the browser's C++ library has no float
// std::from_chars). `value` is set only for Number.
Field ReadFloat(const std::string& text, float& value);
// Likewise for a decimal int as std::stoi takes it (white space, an optional
// sign, digits), read with std::from_chars.
Field ReadInt(const std::string& text, int& value);

// One line of a form. On a field without a number the fields before it are
// already set; a colour's alpha is 1 once all three channels are read.
Field Read(const std::string& line, Vector2& point);
Field Read(const std::string& line, Color& color);

// For the stream operators, whose callers are promised std::stof's exceptions:
// std::invalid_argument for NoNumber, std::out_of_range for OutOfRange.
void Throw(Field field);

}  // namespace textform
}  // namespace vexa
