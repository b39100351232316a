#pragma once

#include <string>

namespace vexa::textform {

// The characters after the first `open` up to the first `close`. Missing marks
// behave as std::string::find's npos makes them: a missing opener starts the
// field at the beginning of the line, a missing closer runs it to the end.
inline std::string Between(const std::string& line, char open, char close) {
    const std::size_t start = line.find(open) + 1;
    const std::size_t length = line.find(close) - start;
    return line.substr(start, length);
}

}  // namespace vexa::textform
