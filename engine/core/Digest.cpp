#include "Digest.h"

#include "LittleEndian.h"
#include "PortableMath.h"

namespace vexa {
namespace {

constexpr std::uint64_t kPrime = 0x100000001b3u;

}  // namespace

void Digest::AddByte(std::uint8_t byte) {
    m_value = (m_value ^ byte) * kPrime;
}

Digest& Digest::Add(std::int32_t value) {
    return Add(static_cast<std::uint32_t>(value));
}

Digest& Digest::Add(std::uint32_t value) {
    for (const std::uint8_t byte : LittleEndian(value)) AddByte(byte);
    return *this;
}

Digest& Digest::Add(std::uint64_t value) {
    for (const std::uint8_t byte : LittleEndian(value)) AddByte(byte);
    return *this;
}

Digest& Digest::Add(float value) {
    return Add(portable::BitsOf(value));
}

Digest& Digest::Add(std::string_view bytes) {
    for (const char byte : bytes) AddByte(static_cast<std::uint8_t>(byte));
    return *this;
}

std::string DigestHex(std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (std::size_t i = 16; i-- > 0; value >>= 4) hex[i] = kDigits[value & 0xfu];
    return hex;
}

}  // namespace vexa
