#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// A 64-bit FNV-1a hash built up a value at a time: a fingerprint of a game's
// state that two runs can compare, and the checksum of files that must notice
// damage. Numbers go in as their little-endian bytes and floats as their bit
// patterns, so the value is the same on every platform (and +0 and -0 differ).
class Digest {
public:
    Digest& Add(std::int32_t value);
    Digest& Add(std::uint32_t value);
    Digest& Add(std::uint64_t value);
    Digest& Add(float value);
    // The bytes alone, without their count: add the length first where two
    // strings in a row could be split at another place.
    Digest& Add(std::string_view bytes);

    std::uint64_t Value() const { return m_value; }

private:
    void AddByte(std::uint8_t byte);

    std::uint64_t m_value = 0xcbf29ce484222325u;
};

// A digest for printing: 16 lower-case hex digits, leading zeros kept.
std::string DigestHex(std::uint64_t value);

}  // namespace vexa
