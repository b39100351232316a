#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace vexa {

// Numbers in the game's files and digests go as their little-endian bytes,
// floats as their bit patterns, so that they read the same on every platform.

// The bytes of `value`, least significant first.
template <typename Unsigned>
std::array<std::uint8_t, sizeof(Unsigned)> LittleEndian(Unsigned value) {
    static_assert(std::is_unsigned_v<Unsigned> && sizeof(Unsigned) > 1);
    std::array<std::uint8_t, sizeof(Unsigned)> bytes{};
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(value);
        value = static_cast<Unsigned>(value >> 8);
    }
    return bytes;
}

// The value whose bytes, least significant first, begin `bytes`, which holds
// at least as many.
template <typename Unsigned>
Unsigned FromLittleEndian(std::string_view bytes) {
    static_assert(std::is_unsigned_v<Unsigned> && sizeof(Unsigned) > 1);
    std::uint64_t value = 0;
    for (std::size_t i = sizeof(Unsigned); i-- > 0;) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[i]);
    }
    return static_cast<Unsigned>(value);
}

// Appends to a string of bytes.
class ByteWriter {
public:
    explicit ByteWriter(std::string& out) : m_out(out) {}

    ByteWriter& Byte(std::uint8_t value);
    ByteWriter& U32(std::uint32_t value);
    ByteWriter& U64(std::uint64_t value);
    ByteWriter& F32(float value);
    // Seven bits a byte, low first, the high bit set on every byte but the last.
    ByteWriter& Varint(std::uint32_t value);
    ByteWriter& Text(std::string_view text);

private:
    std::string& m_out;
};

// Takes bytes from the front and never past the end: a value the bytes left
// cannot hold is false, and nothing is taken.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    bool AtEnd() const { return m_at == m_bytes.size(); }
    std::string_view Rest() const { return m_bytes.substr(m_at); }

    bool Byte(std::uint8_t& value);
    bool U32(std::uint32_t& value);
    bool U64(std::uint64_t& value);
    bool F32(float& value);
    // Only the shortest form of a 32-bit value: a longer one, or one past 32
    // bits, would be a second form of the same bytes.
    bool Varint(std::uint32_t& value);
    bool Text(std::size_t count, std::string& text);

private:
    template <typename Unsigned>
    bool Number(Unsigned& value) {
        if (m_bytes.size() - m_at < sizeof(Unsigned)) return false;
        value = FromLittleEndian<Unsigned>(m_bytes.substr(m_at));
        m_at += sizeof(Unsigned);
        return true;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
};

}  // namespace vexa
