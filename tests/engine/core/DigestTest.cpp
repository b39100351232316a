#include "core/Digest.h"

#include <gtest/gtest.h>

#include <cstdint>

using vexa::Digest;

TEST(Digest, IsFnv1aOfLittleEndianBytesAndPrintsSixteenHexDigits) {
    EXPECT_EQ(Digest().Value(), 0xcbf29ce484222325u);
    EXPECT_EQ(Digest().Add("foo").Add("bar").Value(), 0x85944171f73967e8u);
    EXPECT_EQ(Digest().Add(std::int32_t{-2}).Value(), Digest().Add("\xfe\xff\xff\xff").Value());
    EXPECT_EQ(Digest().Add(std::uint64_t{0x6867666564636261}).Value(),
              Digest().Add("abcdefgh").Value());
    EXPECT_EQ(Digest().Add(1.0f).Value(), Digest().Add(std::uint32_t{0x3f800000}).Value());
    EXPECT_NE(Digest().Add(0.0f).Value(), Digest().Add(-0.0f).Value());

    EXPECT_EQ(vexa::DigestHex(0xaf63dc4c8601ec8cu), "af63dc4c8601ec8c");
    EXPECT_EQ(vexa::DigestHex(0xffu), "00000000000000ff");
}
