#pragma once

#include "core/Color.h"
#include "core/TextForm.h"
#include "core/Vector2.h"

#include <cstring>
#include <stdexcept>
#include <string>

// The text forms read the way they were first defined, with the standard
// library's throwing conversions: the judge for the engine's own readers.
namespace testing_support::reference {

using vexa::textform::Between;
using vexa::textform::Field;

template <typename Convert>
Field Outcome(Convert convert) {
    try {
        convert();
        return Field::Number;
    } catch (const std::invalid_argument&) {
        return Field::NoNumber;
    } catch (const std::out_of_range&) {
        return Field::OutOfRange;
    }
}

inline Field ReadFloat(const std::string& text, float& value) {
    return Outcome([&] { value = std::stof(text); });
}

inline Field ReadInt(const std::string& text, int& value) {
    return Outcome([&] { value = std::stoi(text); });
}

inline Field Read(const std::string& line, vexa::Vector2& point) {
    return Outcome([&] {
        point.x = std::stof(Between(line, '{', ','));
        point.y = std::stof(Between(line, ',', '}'));
    });
}

inline Field Read(std::string line, vexa::Color& color) {
    return Outcome([&] {
        color.r = std::stof(Between(line, '{', ','));
        line = line.substr(line.find(',') + 1);
        color.g = std::stof(line.substr(0, line.find(',')));
        color.b = std::stof(Between(line, ',', '}'));
        color.a = 1.0f;
    });
}

// Bit for bit, so a NaN read equals the same NaN.
inline bool Same(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool Same(const vexa::Vector2& a, const vexa::Vector2& b) {
    return Same(a.x, b.x) && Same(a.y, b.y);
}

inline bool Same(const vexa::Color& a, const vexa::Color& b) {
    return Same(a.r, b.r) && Same(a.g, b.g) && Same(a.b, b.b) && Same(a.a, b.a);
}

}  // namespace testing_support::reference
