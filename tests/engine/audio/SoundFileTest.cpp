#include "audio/SoundFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using testing_support::ReadWhole;

namespace {

void put16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::string chunk(const std::string& id, const std::string& body, std::uint32_t claimed) {
    std::string out = id;
    put32(out, claimed);
    out += body;
    if (body.size() % 2 == 1) out += '\0';
    return out;
}

std::string chunk(const std::string& id, const std::string& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

std::string format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                   std::uint16_t bits) {
    std::string body;
    const std::uint16_t block = static_cast<std::uint16_t>(channels * (bits / 8));
    put16(body, tag);
    put16(body, channels);
    put32(body, rate);
    put32(body, rate * block);
    put16(body, block);
    put16(body, bits);
    return chunk("fmt ", body);
}

std::string riff(const std::string& chunks) {
    std::string out = "RIFF";
    put32(out, static_cast<std::uint32_t>(chunks.size() + 4));
    return out + "WAVE" + chunks;
}

const std::string kMono16 = format(1, 1, 22050, 16);

}  // namespace

TEST(SoundFile, TheGamesSoundsAndOrdinaryLayoutsPass) {
    for (const char* name : {"bgm.wav", "ui.wav", "damage.wav"}) {
        EXPECT_EQ(vexa::soundfile::Check(ReadWhole(std::string(ZAP207_SOURCE_ASSETS) + "/" + name)),
                  "")
            << name;
    }
    // An odd-sized chunk before the data is padded to an even length.
    EXPECT_EQ(
        vexa::soundfile::Check(riff(kMono16 + chunk("LIST", "INFOx") + chunk("data", "abcd"))), "");
    // Nothing after the sample data is read, so trailing bytes do not matter.
    EXPECT_EQ(vexa::soundfile::Check(riff(kMono16 + chunk("data", "abcd") + "junk")), "");
    // Three minutes of 4-bit ADPCM (two samples a byte) pass.
    const std::uint32_t threeMinutesOf4Bit = 180u * 22050u / 2u;
    EXPECT_EQ(vexa::soundfile::Check(riff(format(0x11, 1, 22050, 4) +
                                          chunk("data", std::string(threeMinutesOf4Bit, '\0')))),
              "");
}

// The decoder allocates whatever a chunk header claims; a 1 GB claim in a tiny
// file once made it take 1 GB.
TEST(SoundFile, HeadersThatClaimMoreThanTheFileHoldsOrTooMuchSoundAreRefused) {
    const auto refused = [](const std::string& bytes, const std::string& why) {
        const std::string problem = vexa::soundfile::Check(bytes);
        EXPECT_NE(problem.find(why), std::string::npos) << "\"" << problem << "\"";
    };
    refused(riff(kMono16 + chunk("data", std::string(76, '\0'), 1u << 30)),
            "claims 1073741824 bytes but the file holds only 76 more");
    refused(riff(kMono16 + chunk("LIST", "", 0xFFFFFFFFu) + chunk("data", "ab")), "\"LIST\" chunk");
    refused(riff(kMono16.substr(0, 12)), "\"fmt \" chunk claims 16");
    refused(riff(chunk("fmt ", std::string(8, '\0')) + chunk("data", "ab")),
            "format chunk is too short");
    refused(riff(chunk("data", "ab") + kMono16), "before its format chunk");
    refused(riff(kMono16), "no sample data");
    refused(riff(format(1, 0, 22050, 16) + chunk("data", "ab")), "no channels");
    refused(riff(format(1, 1, 0, 16) + chunk("data", "ab")), "sample rate of 0 Hz");
    // 200 bytes at one sample a second would decode to hours at the mixer's rate.
    refused(riff(format(1, 1, 1, 8) + chunk("data", std::string(200, '\x80'))),
            "sample rate of 1 Hz");
    refused(riff(format(1, 1, 4000000000u, 16) + chunk("data", "ab")), "outside 1000 to 768000");
    // Six minutes at the lowest rate allowed.
    refused(riff(format(1, 1, 1000, 8) + chunk("data", std::string(360000, '\x80'))),
            "360 seconds of sound, more than the 300 allowed");
    refused("", "not a RIFF WAVE file");
    refused("OggS" + std::string(40, '\0'), "not a RIFF WAVE file");
    refused(std::string("RIFF\x10\0\0\0AVI ", 12) + kMono16, "not a RIFF WAVE file");
}
