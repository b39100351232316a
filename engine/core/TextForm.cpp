#include "TextForm.h"

#include "Color.h"
#include "Vector2.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace vexa::textform {

Field ReadFloat(const std::string& text, float& value) {
    const char* const start = text.c_str();
    char* end = nullptr;
    // errno is the only word strtof has for a number out of range; the
    // caller's errno is left as it was.
    const int callerErrno = errno;
    errno = 0;
    const float read = std::strtof(start, &end);
    const bool outOfRange = errno == ERANGE;
    errno = callerErrno;
    if (end == start) return Field::NoNumber;
    if (outOfRange) return Field::OutOfRange;
    value = read;
    return Field::Number;
}

Field ReadInt(const std::string& text, int& value) {
    // Like strtol, read to the first NUL.
    const char* first = text.c_str();
    const char* const last = first + std::char_traits<char>::length(first);
    // from_chars takes neither leading white space nor a plus sign.
    while (first != last && std::isspace(static_cast<unsigned char>(*first))) ++first;
    if (first != last && *first == '+') {
        ++first;
        if (first == last || !std::isdigit(static_cast<unsigned char>(*first)))
            return Field::NoNumber;
    }
    int read = 0;
    const std::from_chars_result result = std::from_chars(first, last, read);
    if (result.ec == std::errc::invalid_argument) return Field::NoNumber;
    if (result.ec == std::errc::result_out_of_range) return Field::OutOfRange;
    value = read;
    return Field::Number;
}

Field Read(const std::string& line, Vector2& point) {
    Field field = ReadFloat(Between(line, '{', ','), point.x);
    if (field != Field::Number) return field;
    return ReadFloat(Between(line, ',', '}'), point.y);
}

Field Read(const std::string& line, Color& color) {
    Field field = ReadFloat(Between(line, '{', ','), color.r);
    if (field != Field::Number) return field;
    const std::string rest = line.substr(line.find(',') + 1);
    field = ReadFloat(rest.substr(0, rest.find(',')), color.g);
    if (field != Field::Number) return field;
    field = ReadFloat(Between(rest, ',', '}'), color.b);
    if (field != Field::Number) return field;
    color.a = 1.0f;
    return Field::Number;
}

void Throw(Field field) {
    if (field == Field::NoNumber) throw std::invalid_argument("no number in the text form");
    if (field == Field::OutOfRange) throw std::out_of_range("number out of float range");
}

}  // namespace vexa::textform
