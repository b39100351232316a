#include "LittleEndian.h"

#include "PortableMath.h"

namespace vexa {

ByteWriter& ByteWriter::Byte(std::uint8_t value) {
    m_out.push_back(static_cast<char>(value));
    return *this;
}

ByteWriter& ByteWriter::U32(std::uint32_t value) {
    for (const std::uint8_t byte : LittleEndian(value)) Byte(byte);
    return *this;
}

ByteWriter& ByteWriter::U64(std::uint64_t value) {
    for (const std::uint8_t byte : LittleEndian(value)) Byte(byte);
    return *this;
}

ByteWriter& ByteWriter::F32(float value) {
    return U32(portable::BitsOf(value));
}

ByteWriter& ByteWriter::Varint(std::uint32_t value) {
    for (; value >= 0x80u; value >>= 7) Byte(static_cast<std::uint8_t>((value & 0x7fu) | 0x80u));
    return Byte(static_cast<std::uint8_t>(value));
}

ByteWriter& ByteWriter::Text(std::string_view text) {
    m_out += text;
    return *this;
}

bool ByteReader::Byte(std::uint8_t& value) {
    if (AtEnd()) return false;
    value = static_cast<std::uint8_t>(m_bytes[m_at++]);
    return true;
}

bool ByteReader::U32(std::uint32_t& value) {
    return Number(value);
}

bool ByteReader::U64(std::uint64_t& value) {
    return Number(value);
}

bool ByteReader::F32(float& value) {
    std::uint32_t bits = 0;
    if (!U32(bits)) return false;
    value = portable::FloatFromBits(bits);
    return true;
}

bool ByteReader::Varint(std::uint32_t& value) {
    const std::size_t start = m_at;
    std::uint32_t read = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        std::uint8_t byte = 0;
        if (!Byte(byte)) break;
        const std::uint32_t bits = byte & 0x7fu;
        if (shift == 28 && bits > 0x0fu) break;
        read |= bits << shift;
        if ((byte & 0x80u) != 0) continue;
        // A last byte of zero after others only lengthens the same value.
        if (byte == 0 && shift > 0) break;
        value = read;
        return true;
    }
    m_at = start;
    return false;
}

bool ByteReader::Text(std::size_t count, std::string& text) {
    if (m_bytes.size() - m_at < count) return false;
    text.assign(m_bytes.substr(m_at, count));
    m_at += count;
    return true;
}

}  // namespace vexa
