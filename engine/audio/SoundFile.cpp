#include "SoundFile.h"

#include "core/LittleEndian.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstddef>

namespace vexa::soundfile {
namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kFormatBytes = 16;
constexpr std::uint16_t kFormatPcm = 0x0001;
constexpr std::uint16_t kFormatFloat = 0x0003;
constexpr std::uint16_t kFormatALaw = 0x0006;
constexpr std::uint16_t kFormatMuLaw = 0x0007;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// Far below telephone quality (8 kHz) no sound is meant to be heard; each halving of the
// rate doubles what the conversion to the mixer's rate allocates.
constexpr std::uint32_t kMinSampleRate = 1000;
constexpr std::uint32_t kMaxSampleRate = 768000;

std::uint16_t readLe16(std::string_view bytes, std::size_t at) {
    return FromLittleEndian<std::uint16_t>(bytes.substr(at));
}

std::uint32_t readLe32(std::string_view bytes, std::size_t at) {
    return FromLittleEndian<std::uint32_t>(bytes.substr(at));
}

struct Format {
    std::uint16_t tag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
};

// The most samples `dataBytes` can hold in this format. Compressed formats are
// counted at 3 bits a sample, the densest the decoder knows.
double maxSamples(const Format& format, std::uint32_t dataBytes) {
    switch (format.tag) {
    case kFormatPcm:
    case kFormatFloat:
    case kFormatALaw:
    case kFormatMuLaw:
    case kFormatExtensible: {
        const int bytesPerSample = std::max(1, format.bitsPerSample / 8);
        return static_cast<double>(dataBytes) / bytesPerSample;
    }
    default:
        return static_cast<double>(dataBytes) * 8.0 / 3.0;
    }
}

std::string checkFormat(const Format& format, std::uint32_t dataBytes) {
    if (format.channels == 0) return "its format chunk names no channels";
    if (format.sampleRate < kMinSampleRate || format.sampleRate > kMaxSampleRate) {
        return "its sample rate of " + std::to_string(format.sampleRate) + " Hz is outside " +
               std::to_string(kMinSampleRate) + " to " + std::to_string(kMaxSampleRate);
    }
    const double frames = maxSamples(format, dataBytes) / format.channels;
    const double seconds = frames / format.sampleRate;
    if (seconds > kMaxDecodedSeconds) {
        return "it would decode to " + std::to_string(static_cast<long long>(seconds)) +
               " seconds of sound, more than the " +
               std::to_string(static_cast<int>(kMaxDecodedSeconds)) + " allowed";
    }
    return {};
}

}  // namespace

std::string Check(std::string_view bytes) {
    if (bytes.size() > kMaxFileBytes) return "it is larger than any sound may be";
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return "it is not a RIFF WAVE file";
    }

    // The decoder reads chunk after chunk up to the sample data, allocating
    // each one at the size its header claims; every claim must fit the file.
    Format format;
    bool haveFormat = false;
    std::size_t at = 12;
    while (bytes.size() - at >= kChunkHeaderBytes) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = readLe32(bytes, at + 4);
        at += kChunkHeaderBytes;
        const std::size_t left = bytes.size() - at;
        if (size > left) {
            return "its \"" + std::string(id) + "\" chunk claims " + std::to_string(size) +
                   " bytes but the file holds only " + std::to_string(left) + " more";
        }
        if (id == "fmt ") {
            if (size < kFormatBytes) return "its format chunk is too short";
            format.tag = readLe16(bytes, at);
            format.channels = readLe16(bytes, at + 2);
            format.sampleRate = readLe32(bytes, at + 4);
            format.bitsPerSample = readLe16(bytes, at + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return "its sample data comes before its format chunk";
            return checkFormat(format, size);
        }
        // Chunks are padded to an even length.
        at += std::min<std::size_t>(size + (size & 1u), bytes.size() - at);
    }
    return "it holds no sample data";
}

Mix_Chunk* Decode(const std::string& bytes, std::string& problem) {
    problem = Check(bytes);
    if (!problem.empty()) return nullptr;

    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        problem = SDL_GetError();
        return nullptr;
    }
    // The chunk holds its own decoded copy, so `bytes` may go once this returns.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (chunk == nullptr) problem = Mix_GetError();
    return chunk;
}

}  // namespace vexa::soundfile
