#include "core/Replay.h"

#include "core/Digest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using vexa::Replay;

namespace {

constexpr std::size_t kHeaderBytes = 46;

std::string u32(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
    return bytes;
}

std::string u64(std::uint64_t value) {
    return u32(static_cast<std::uint32_t>(value)) + u32(static_cast<std::uint32_t>(value >> 32));
}

// The bytes followed by their checksum: how a file written on purpose ends.
std::string sealed(const std::string& bytes) {
    return bytes + u64(vexa::Digest().Add(bytes).Value());
}

// A file with a good checksum around any header numbers and step runs.
std::string crafted(std::uint32_t count, const std::string& body, std::uint32_t version = 1) {
    return sealed("ZAP207 replay\n" + u32(version) + u32(3) + u32(4) + u32(5) + u64(6) +
                  u32(count) + u32(static_cast<std::uint32_t>(body.size())) + body);
}

struct Outcome {
    bool ok;
    std::string reason;
};

Outcome decode(const std::string& bytes) {
    Replay replay;
    std::string reason;
    const bool ok = vexa::DecodeReplay(bytes, replay, reason);
    return {ok, reason};
}

Replay shortReplay() {
    Replay replay;
    replay.rulesVersion = 3;
    replay.seed = 0x01020304;
    replay.score = -2;
    replay.digest = 0x1122334455667788;
    replay.steps = {0, 0, 0, 5};
    return replay;
}

}  // namespace

TEST(Replay, FileIsTheFixedLittleEndianLayout) {
    const std::string expected = sealed(
        std::string("ZAP207 replay\n") + u32(1) + u32(3) + u32(0x01020304) + u32(0xfffffffe) +
        u64(0x1122334455667788) + u32(4) + u32(4) + std::string("\x00\x03\x05\x01", 4));
    EXPECT_EQ(vexa::EncodeReplay(shortReplay()), expected);
}

TEST(Replay, RoundTripsEveryFieldAndRunLengthUpToTheCap) {
    Replay replay;
    replay.rulesVersion = 0xffffffff;
    replay.seed = 0x80000000;
    replay.score = INT32_MIN;
    replay.digest = ~0ull;
    // Runs at the edges of one, two and three varint bytes.
    for (const std::uint32_t run : {1u, 127u, 128u, 16383u, 16384u, 300000u}) {
        replay.steps.insert(replay.steps.end(), run, static_cast<std::uint8_t>(run % 251));
        replay.steps.push_back(255);
    }
    for (const Replay& original : {Replay{}, shortReplay(), replay}) {
        Replay decoded;
        decoded.seed = 99;
        std::string reason;
        ASSERT_TRUE(vexa::DecodeReplay(vexa::EncodeReplay(original), decoded, reason)) << reason;
        EXPECT_EQ(decoded, original);
    }

    replay.steps.assign(Replay::kMaxSteps, 1);
    Replay decoded;
    std::string reason;
    EXPECT_TRUE(vexa::DecodeReplay(vexa::EncodeReplay(replay), decoded, reason)) << reason;
    EXPECT_EQ(decoded.steps.size(), Replay::kMaxSteps);

    // Every input changing on every step: the largest file there can be.
    for (std::size_t i = 0; i < replay.steps.size(); ++i) {
        replay.steps[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(vexa::EncodeReplay(replay).size(), Replay::kMaxFileBytes);

    replay.steps.push_back(1);
    EXPECT_EQ(decode(vexa::EncodeReplay(replay)).reason, "it is longer than a replay may be");
}

TEST(Replay, DamagedFilesAreRefusedWithAReasonAndLeaveTheReplayAlone) {
    const std::string file = vexa::EncodeReplay(shortReplay());

    EXPECT_EQ(decode("").reason, "it is empty");
    for (std::size_t length = 1; length < file.size(); ++length) {
        EXPECT_EQ(decode(file.substr(0, length)).reason, "it is cut short") << length;
    }
    EXPECT_EQ(decode(file + '\0').reason, "it has bytes after its end");
    EXPECT_EQ(decode("ZAP207 record\n").reason, "it is not a replay file");
    EXPECT_EQ(decode("12345\n").reason, "it is not a replay file");

    for (std::size_t at = 0; at < file.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string damaged = file;
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
            Replay replay = shortReplay();
            replay.seed = 77;
            std::string reason;
            ASSERT_FALSE(vexa::DecodeReplay(damaged, replay, reason)) << at << " bit " << bit;
            EXPECT_FALSE(reason.empty());
            EXPECT_EQ(replay.seed, 77u);
            // Past the magic, the version and the length, only the checksum can tell.
            if (at >= kHeaderBytes) {
                EXPECT_EQ(reason, "its checksum does not match") << at;
            }
        }
    }
}

TEST(Replay, AnotherFormatVersionIsNamedEvenWhenCutShort) {
    const std::string newer = crafted(0, "", 2);
    EXPECT_EQ(decode(newer).reason, "it is from a newer version of the file format");
    EXPECT_EQ(decode(newer.substr(0, 18)).reason, "it is from a newer version of the file format");
    EXPECT_EQ(decode(crafted(0, "", 0)).reason, "it is from an older version of the file format");
    EXPECT_TRUE(decode(crafted(0, "")).ok);
}

TEST(Replay, StepRunsThatEncodingNeverMakesAreRefused) {
    EXPECT_TRUE(decode(crafted(200, std::string("\x07\xc8\x01", 3))).ok);

    const std::string damaged = "its step inputs are damaged";
    const std::string unequal = "its steps do not add up to its length";
    const struct {
        std::uint32_t count;
        std::string body;
        std::string reason;
    } cases[] = {
        {200, std::string("\x07\xc8\x81\x00", 4), damaged},                // a longer form of 200
        {1, std::string("\x07\x81\x80\x80\x80\x10", 6), damaged},          // 1 + 2^32
        {1, std::string("\x07\x81\x80\x80\x80\x80\x00", 7), damaged},      // six varint bytes
        {1, std::string("\x07\x00\x01\x01", 4), damaged},                  // an empty run
        {2, std::string("\x07\x01\x07\x01", 4), damaged},                  // a run split in two
        {200, std::string("\x07\xc8", 2), damaged},                        // ends inside a count
        {3, std::string("\x07\x02", 2), unequal},                          // fewer steps than said
        {1, std::string("\x07\x02", 2), unequal},                          // more steps than said
        {1, std::string("\x07\x01\x08\x01", 4), unequal},                  // a run after the last
        {Replay::kMaxSteps, std::string("\x07\x81\x8d\x4f", 4), unequal},  // a run past the cap
        {1, std::string("\x07\xff\xff\xff\xff\x0f", 6), unequal},          // 2^32 - 1 steps
        {Replay::kMaxSteps + 1, std::string("\x07\x81\x8d\x4f", 4),
         "it is longer than a replay may be"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(decode(crafted(test.count, test.body)).reason, test.reason) << &test - cases;
    }

    // A length far past the file is noticed before anything is read or made.
    std::string huge = crafted(0, "");
    huge.replace(kHeaderBytes - 4, 4, u32(0xffffffff));
    EXPECT_EQ(decode(huge).reason, "it is cut short");
}

TEST(Replay, AMinuteOfPlayTakesUnderAKilobyte) {
    // Held thrust and turns for a fraction of a second to a few seconds, with
    // shots tapped in between: the input changes about four times a second.
    std::minstd_rand generator(2071);
    Replay replay;
    std::uint8_t input = 0;
    while (replay.steps.size() < 60 * 60) {
        const std::size_t held = 2 + generator() % 28;
        replay.steps.insert(replay.steps.end(), held, input);
        input = static_cast<std::uint8_t>(input ^ (1u << (generator() % 5)));
    }
    const std::string file = vexa::EncodeReplay(replay);
    EXPECT_LT(file.size(), 1024u);
    Replay decoded;
    std::string reason;
    ASSERT_TRUE(vexa::DecodeReplay(file, decoded, reason)) << reason;
    EXPECT_EQ(decoded, replay);
}
