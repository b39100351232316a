#include "WavWriter.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace testing_support {

namespace {

void putLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool WriteToneWav(const std::filesystem::path& path, float seconds, int sampleRate) {
    constexpr int kToneHz = 440;
    constexpr std::int16_t kAmplitude = 8000;
    const auto frames = static_cast<std::uint32_t>(seconds * static_cast<float>(sampleRate));
    const std::uint32_t dataSize = frames * 2;
    const auto rate = static_cast<std::uint32_t>(sampleRate);

    std::string bytes = "RIFF";
    putLittleEndian(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    putLittleEndian(bytes, 16, 4);  // format chunk size
    putLittleEndian(bytes, 1, 2);   // PCM
    putLittleEndian(bytes, 1, 2);   // mono
    putLittleEndian(bytes, rate, 4);
    putLittleEndian(bytes, rate * 2, 4);  // bytes per second
    putLittleEndian(bytes, 2, 2);         // bytes per frame
    putLittleEndian(bytes, 16, 2);        // bits per sample
    bytes += "data";
    putLittleEndian(bytes, dataSize, 4);

    const std::uint32_t halfPeriod = rate / (2 * kToneHz);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const bool high = (i / halfPeriod) % 2 == 0;
        const std::int16_t sample = high ? kAmplitude : static_cast<std::int16_t>(-kAmplitude);
        putLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
    }

    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace testing_support
