#include "core/Random.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Random, DrawsStayInTheirRangesAndReachBothEnds) {
    vexa::seedRandom(12345);
    bool sawZero = false;
    bool sawMax = false;
    for (int i = 0; i < 200000; ++i) {
        const int draw = vexa::random();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, 32767);
        sawZero |= draw == 0;
        sawMax |= draw == 32767;
    }
    EXPECT_TRUE(sawZero);
    EXPECT_TRUE(sawMax);

    for (int i = 0; i < 1000; ++i) {
        const float f = vexa::randomf();
        ASSERT_GE(f, 0.0f);
        ASSERT_LE(f, 1.0f);
        const float forward = vexa::randomf(1.0f, 4.0f);
        ASSERT_GE(forward, 1.0f);
        ASSERT_LE(forward, 4.0f);
        const float reversed = vexa::randomf(4.0f, 1.0f);
        ASSERT_GE(reversed, 1.0f);
        ASSERT_LE(reversed, 4.0f);
        ASSERT_LT(vexa::random(600u), 600u);
    }
    EXPECT_EQ(vexa::random(1u), 0u);
    EXPECT_EQ(vexa::random(0u), 0u);
}

TEST(Random, SameSeedSameSequenceAndOneDrawPerCall) {
    vexa::seedRandom(7);
    std::vector<int> first;
    for (int i = 0; i < 5; ++i) first.push_back(vexa::random());

    // Every form draws exactly one number, so the sequences stay in step.
    vexa::seedRandom(7);
    EXPECT_EQ(static_cast<int>(vexa::random(100000u)), first[0]);
    EXPECT_FLOAT_EQ(vexa::randomf(), static_cast<float>(first[1]) / 32767.0f);
    EXPECT_FLOAT_EQ(vexa::randomf(2.0f), 2.0f * static_cast<float>(first[2]) / 32767.0f);
    EXPECT_FLOAT_EQ(vexa::randomf(4.0f, 1.0f),
                    4.0f + static_cast<float>(first[3]) / 32767.0f * -3.0f);
    EXPECT_EQ(vexa::random(), first[4]);
}
