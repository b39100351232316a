#include "core/Digest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using vexa::Digest;

TEST(Digest, MatchesPublishedFnv1aValuesAndAddsNumbersAsLittleEndianBytes) {
    EXPECT_EQ(Digest().Value(), 0xcbf29ce484222325u);
    EXPECT_EQ(Digest().Add("a").Value(), 0xaf63dc4c8601ec8cu);
    EXPECT_EQ(Digest().Add("foobar").Value(), 0x85944171f73967e8u);
    // Adding in pieces is adding the whole.
    EXPECT_EQ(Digest().Add("foo").Add("bar").Value(), Digest().Add("foobar").Value());

    EXPECT_EQ(Digest().Add(std::uint32_t{0x64636261}).Value(), Digest().Add("abcd").Value());
    EXPECT_EQ(Digest().Add(std::int32_t{-2}).Value(), Digest().Add("\xfe\xff\xff\xff").Value());
    EXPECT_EQ(Digest().Add(std::uint64_t{0x6867666564636261}).Value(),
              Digest().Add("abcdefgh").Value());
    EXPECT_EQ(Digest().Add(1.0f).Value(), Digest().Add(std::uint32_t{0x3f800000}).Value());
    EXPECT_NE(Digest().Add(0.0f).Value(), Digest().Add(-0.0f).Value());
}

TEST(Digest, HexHasSixteenDigitsWithLeadingZeros) {
    EXPECT_EQ(vexa::DigestHex(0), "0000000000000000");
    EXPECT_EQ(vexa::DigestHex(0xaf63dc4c8601ec8cu), "af63dc4c8601ec8c");
    EXPECT_EQ(vexa::DigestHex(0x00000000000000ffu), "00000000000000ff");
    EXPECT_EQ(vexa::DigestHex(std::numeric_limits<std::uint64_t>::max()), "ffffffffffffffff");
}
