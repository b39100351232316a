#include "core/Replay.h"

#include "core/Digest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

using vexa::Replay;

namespace {

constexpr std::size_t kHeaderBytes = 46;

std::string le(std::uint64_t value, int bytes = 4) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
    return out;
}

// The bytes followed by their checksum, as a file written on purpose ends.
std::string sealed(const std::string& bytes) {
    return bytes + le(vexa::Digest().Add(bytes).Value(), 8);
}

// A file with a good checksum around any step count and step runs, after an
// empty starting state.
std::string crafted(std::uint32_t count, const std::string& runs, std::uint32_t version = 1) {
    const std::string body = std::string(1, '\0') + runs;
    return sealed("ZAP207 replay\n" + le(version) + le(3) + le(4) + le(5) + le(6, 8) + le(count) +
                  le(body.size()) + body);
}

// Empty when the bytes decode.
std::string refusal(const std::string& bytes) {
    Replay replay;
    std::string reason;
    return vexa::DecodeReplay(bytes, replay, reason) ? "" : reason;
}

Replay shortReplay() {
    Replay replay;
    replay.rulesVersion = 3;
    replay.seed = 0x01020304;
    replay.score = -2;
    replay.digest = 0x1122334455667788;
    replay.start = "ab";
    replay.steps = {0, 0, 0, 5};
    return replay;
}

}  // namespace

TEST(Replay, RoundTripsThroughItsFixedLayoutUpToTheStepCap) {
    EXPECT_EQ(vexa::EncodeReplay(shortReplay()),
              sealed("ZAP207 replay\n" + le(1) + le(3) + le(0x01020304) + le(0xfffffffe) +
                     le(0x1122334455667788, 8) + le(4) + le(7) + std::string("\2ab\0\3\5\1", 7)));

    Replay replay;
    replay.rulesVersion = ~0u;
    replay.score = INT32_MIN;
    replay.digest = ~0ull;
    // Runs at the edges of one, two and three varint bytes.
    for (const std::uint32_t run : {1u, 127u, 128u, 16383u, 16384u, 300000u}) {
        replay.steps.insert(replay.steps.end(), run, static_cast<std::uint8_t>(run % 251));
        replay.steps.push_back(255);
    }
    for (const Replay& original : {Replay{}, shortReplay(), replay}) {
        Replay decoded;
        std::string reason;
        ASSERT_TRUE(vexa::DecodeReplay(vexa::EncodeReplay(original), decoded, reason)) << reason;
        EXPECT_EQ(decoded, original);
    }

    // A slower run, the largest start and every input changing on every step
    // make the largest file there can be.
    replay.speedPercent = 50;
    replay.start.assign(Replay::kMaxStartBytes, 's');
    replay.steps.resize(Replay::kMaxSteps);
    for (std::size_t i = 0; i < replay.steps.size(); ++i) {
        replay.steps[i] = static_cast<std::uint8_t>(i);
    }
    const std::string largest = vexa::EncodeReplay(replay);
    EXPECT_EQ(largest.size(), Replay::kMaxFileBytes);
    EXPECT_EQ(refusal(largest), "");
    replay.steps.push_back(1);
    EXPECT_EQ(refusal(vexa::EncodeReplay(replay)), "it is longer than a replay may be");
    replay.steps.pop_back();
    replay.start += 's';
    EXPECT_EQ(refusal(vexa::EncodeReplay(replay)), "its starting state is damaged");
}

TEST(Replay, DamagedFilesAreRefusedWithAReasonAndLeaveTheReplayAlone) {
    const std::string file = vexa::EncodeReplay(shortReplay());
    EXPECT_EQ(refusal(""), "it is empty");
    for (std::size_t length = 1; length < file.size(); ++length) {
        EXPECT_EQ(refusal(file.substr(0, length)), "it is cut short") << length;
    }
    EXPECT_EQ(refusal(file + '\0'), "it has bytes after its end");
    EXPECT_EQ(refusal("12345\n"), "it is not a replay file");

    for (std::size_t at = 0; at < file.size() * 8; ++at) {
        std::string damaged = file;
        damaged[at / 8] = static_cast<char>(damaged[at / 8] ^ (1 << (at % 8)));
        Replay replay = shortReplay();
        std::string reason;
        ASSERT_FALSE(vexa::DecodeReplay(damaged, replay, reason)) << at;
        EXPECT_EQ(replay, shortReplay());
        EXPECT_FALSE(reason.empty());
        // Past the magic, the version and the length, only the checksum can tell.
        if (at >= kHeaderBytes * 8) {
            EXPECT_EQ(reason, "its checksum does not match") << at;
        }
    }

    // Another format version is named, even when the file is cut short after it.
    const std::string newer = crafted(0, "", 3);
    EXPECT_EQ(refusal(newer.substr(0, 18)), "it is from a newer version of the file format");
    EXPECT_EQ(refusal(crafted(0, "", 0)), "it is from an older version of the file format");
}

// Full speed keeps the first version's bytes, so files of either kind read
// alike in every version that knows them; a slower run adds its speed.
TEST(Replay, ASlowerRunKeepsItsSpeedAndAFullSpeedOneKeepsItsOldForm) {
    EXPECT_EQ(vexa::EncodeReplay(shortReplay()).substr(14, 4), le(1));
    Replay slower = shortReplay();
    slower.speedPercent = 70;
    const std::string head = "ZAP207 replay\n" + le(2) + le(3) + le(4) + le(5) + le(6, 8) + le(0);
    EXPECT_EQ(vexa::EncodeReplay(slower),
              sealed("ZAP207 replay\n" + le(2) + le(3) + le(0x01020304) + le(0xfffffffe) +
                     le(0x1122334455667788, 8) + le(4) + le(8) + std::string("F\2ab\0\3\5\1", 8)));
    Replay decoded;
    std::string reason;
    ASSERT_TRUE(vexa::DecodeReplay(vexa::EncodeReplay(slower), decoded, reason)) << reason;
    EXPECT_EQ(decoded, slower);
    // No speed, or a full one, is no file the game writes.
    EXPECT_EQ(refusal(sealed(head + le(0))), "its game speed makes no sense");
    EXPECT_EQ(refusal(sealed(head + le(2) + "d" + std::string(1, '\0'))),
              "its game speed makes no sense");
}

TEST(Replay, StepRunsThatEncodingNeverMakesAreRefused) {
    EXPECT_EQ(refusal(crafted(200, "\7\xc8\1")), "");
    const std::string damaged = "its step inputs are damaged";
    const std::string unequal = "its steps do not add up to its length";
    const struct {
        std::uint32_t count;
        std::string body;
        std::string reason;
    } cases[] = {
        {200, "\7\xc8\x81", damaged},                    // ends inside a count
        {200, std::string("\7\xc8\x81\0", 4), damaged},  // a longer form of 200
        {1, "\7\x81\x80\x80\x80\x10", damaged},          // 1 + 2^32
        {1, std::string("\7\0\1\1", 4), damaged},        // an empty run
        {2, "\7\1\7\1", damaged},                        // a run split in two
        {3, "\7\2", unequal},                            // fewer steps than said
        {1, "\7\1\x08\1", unequal},                      // a run after the last
        {1, "\7\xff\xff\xff\xff\x0f", unequal},          // 2^32 - 1 steps: never allocated
        {Replay::kMaxSteps, "\7\x81\x8d\x4f", unequal},  // a run one past the cap
        {Replay::kMaxSteps + 1, "\7\x81\x8d\x4f", "it is longer than a replay may be"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(refusal(crafted(test.count, test.body)), test.reason) << &test - cases;
    }
    std::string huge = crafted(0, "");
    huge.replace(kHeaderBytes - 4, 4, le(0xffffffff));
    EXPECT_EQ(refusal(huge), "it is cut short");
}

TEST(Replay, AMinuteOfPlayTakesUnderAKilobyte) {
    // Keys held for a twentieth of a second to half a second: the input
    // changes about four times a second.
    std::minstd_rand generator(2071);
    Replay replay;
    std::uint8_t input = 0;
    while (replay.steps.size() < 60 * 60) {
        replay.steps.insert(replay.steps.end(), 2 + generator() % 28, input);
        input = static_cast<std::uint8_t>(input ^ (1u << (generator() % 5)));
    }
    const std::string file = vexa::EncodeReplay(replay);
    EXPECT_LT(file.size(), 1024u);
    EXPECT_EQ(refusal(file), "");
}
