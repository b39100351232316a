// The sounds the game makes, against the files the desktop ships.
#include "Sounds.h"

#include "core/Digest.h"

#include "TempDir.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

using testing_support::ReadWhole;

namespace {

// The 16-bit samples SDL decodes from a WAV file's bytes (PCM or IMA ADPCM),
// with their rate; empty when it cannot.
std::vector<std::int16_t> decode(const std::string& bytes, int& rate) {
    SDL_AudioSpec wave{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (SDL_LoadWAV_RW(source, 1, &wave, &buffer, &length) == nullptr) return {};
    std::vector<std::int16_t> samples;
    if (wave.format == AUDIO_S16LSB && wave.channels == 1) {
        samples.resize(length / 2);
        std::memcpy(samples.data(), buffer, samples.size() * 2);
    }
    rate = wave.freq;
    SDL_FreeWAV(buffer);
    return samples;
}

std::string shipped(const std::string& name) {
    return ReadWhole(std::string(ZAP207_SOURCE_ASSETS) + "/" + name);
}

}  // namespace

TEST(Sounds, TheEffectsAreMadeByteForByteAsShipped) {
    for (const char* name : {"ui.wav", "damage.wav"}) {
        const std::string made = MakeSoundFile(name);
        ASSERT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == shipped(name)) << name << " differs from the shipped file";
    }
    EXPECT_TRUE(MakeSoundFile("font.ttf").empty());
}

// The desktop ships the music as IMA ADPCM, encoded from these very samples:
// they differ from it by the codec's noise alone, which stays more than 30 dB
// below the music, sample for sample over its whole length.
TEST(Sounds, TheMusicIsTheShippedMusicWithoutItsCodecNoise) {
    int madeRate = 0;
    int shippedRate = 0;
    const std::vector<std::int16_t> made = decode(MakeSoundFile("bgm.wav"), madeRate);
    const std::vector<std::int16_t> heard = decode(shipped("bgm.wav"), shippedRate);
    ASSERT_FALSE(made.empty()) << SDL_GetError();
    ASSERT_FALSE(heard.empty()) << SDL_GetError();
    EXPECT_EQ(madeRate, shippedRate);
    // ADPCM comes in whole blocks of 505 samples: the last one is padded.
    ASSERT_GE(heard.size(), made.size());
    EXPECT_LT(heard.size() - made.size(), 505u);
    double signal = 0.0;
    double noise = 0.0;
    for (std::size_t i = 0; i < made.size(); ++i) {
        const double difference = static_cast<double>(made[i]) - static_cast<double>(heard[i]);
        signal += static_cast<double>(made[i]) * static_cast<double>(made[i]);
        noise += difference * difference;
    }
    ASSERT_GT(signal, 0.0);
    const double belowMusicDb = 10.0 * std::log10(signal / std::max(noise, 1.0));
    EXPECT_GT(belowMusicDb, 30.0);
    EXPECT_LT(belowMusicDb, 60.0)
        << "the shipped music is no longer ADPCM: compare it byte for byte";
    std::cout << "the codec's noise is " << belowMusicDb << " dB below the music\n";
}

// The ADPCM file cannot show a change below its noise: the 16-bit music is
// pinned by its fingerprint, as make_sounds has always written it.
TEST(Sounds, TheMusicIsTheSixteenBitLoopMakeSoundsWrites) {
    const std::string made = MakeSoundFile("bgm.wav");
    EXPECT_EQ(made.size(), 705644u);
    EXPECT_EQ(vexa::DigestHex(vexa::Digest().Add(made).Value()), "e0495e2072fc575b");
}
