#include "framework/BroadPhase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

using vexa::BroadPhase;
using vexa::Vector2;

namespace {

using Proxy = BroadPhase::Proxy;
using Pairs = std::vector<std::pair<BroadPhase::Index, BroadPhase::Index>>;

Pairs Found(BroadPhase& broadPhase, const std::vector<Proxy>& proxies) {
    Pairs pairs;
    for (const auto& pair : broadPhase.FindCandidatePairs(proxies)) {
        pairs.emplace_back(pair.first, pair.second);
    }
    return pairs;
}

// Every pair whose boxes meet, in index order: what the sweep must find.
Pairs EveryMeetingPair(const std::vector<Proxy>& proxies) {
    Pairs pairs;
    for (BroadPhase::Index a = 0; a < proxies.size(); ++a) {
        for (BroadPhase::Index b = a + 1; b < proxies.size(); ++b) {
            const double reach = proxies[a].extent + proxies[b].extent;
            const double dx = static_cast<double>(proxies[a].position.x) - proxies[b].position.x;
            const double dy = static_cast<double>(proxies[a].position.y) - proxies[b].position.y;
            if (std::fabs(dx) <= reach && std::fabs(dy) <= reach) pairs.emplace_back(a, b);
        }
    }
    return pairs;
}

Proxy At(float x, float y, double extent) {
    return Proxy{Vector2(x, y), extent};
}

}  // namespace

TEST(BroadPhase, BoxesMeetWhenTheyOverlapOrTouchOnBothAxes) {
    EXPECT_TRUE(BroadPhase::BoxesMeet(At(0, 0, 1), At(1.5f, 0.5f, 1)));
    // Edges that touch exactly still meet, on either axis.
    EXPECT_TRUE(BroadPhase::BoxesMeet(At(0, 0, 1), At(2, 0, 1)));
    EXPECT_TRUE(BroadPhase::BoxesMeet(At(0, 0, 1), At(0, -2, 1)));
    // Boxes, not circles: corners reach further than the radius.
    EXPECT_TRUE(BroadPhase::BoxesMeet(At(0, 0, 1), At(2, 2, 1)));
    EXPECT_FALSE(BroadPhase::BoxesMeet(At(0, 0, 1), At(2.01f, 0, 1)));
    EXPECT_FALSE(BroadPhase::BoxesMeet(At(0, 0, 1), At(0, 2.01f, 1)));
    // Zero extents meet only on the same spot.
    EXPECT_TRUE(BroadPhase::BoxesMeet(At(3, 4, 0), At(3, 4, 0)));
    EXPECT_FALSE(BroadPhase::BoxesMeet(At(3, 4, 0), At(3, 4.0001f, 0)));
}

TEST(BroadPhase, FewerThanTwoProxiesGiveNoPairs) {
    BroadPhase broadPhase;
    EXPECT_TRUE(Found(broadPhase, {}).empty());
    EXPECT_TRUE(Found(broadPhase, {At(0, 0, 5)}).empty());
}

TEST(BroadPhase, PairsComeInIndexOrderWhateverTheOrderAlongTheSweepAxis) {
    // Right to left along x, and overlapping in a chain, so the sweep meets
    // every pair the other way round.
    const std::vector<Proxy> proxies = {At(30, 0, 6), At(20, 0, 6), At(10, 0, 6), At(0, 0, 6)};
    BroadPhase broadPhase;
    EXPECT_EQ(Found(broadPhase, proxies), (Pairs{{0, 1}, {1, 2}, {2, 3}}));
}

TEST(BroadPhase, OnlyBoxesThatMeetOnTheOtherAxisAreCandidates) {
    // All three overlap along x; only the first two are near along y.
    const std::vector<Proxy> proxies = {At(0, 0, 2), At(1, 3, 2), At(2, 50, 2)};
    BroadPhase broadPhase;
    EXPECT_EQ(Found(broadPhase, proxies), (Pairs{{0, 1}}));
}

TEST(BroadPhase, FindsExactlyTheMeetingPairsOfRandomLayouts) {
    std::mt19937 rng(20240517);
    BroadPhase broadPhase;
    // Dense and sparse fields, nearly sorted (drifting waves) and shuffled,
    // with repeated positions and zero extents among them.
    for (int round = 0; round < 200; ++round) {
        const int count = std::uniform_int_distribution<int>(0, 120)(rng);
        const float width = round % 2 == 0 ? 100.0f : 2000.0f;
        std::uniform_real_distribution<float> coordinate(-width, width);
        std::uniform_real_distribution<double> extent(0.0, 40.0);
        std::vector<Proxy> proxies;
        for (int i = 0; i < count; ++i) {
            if (i > 0 && rng() % 10 == 0) {
                proxies.push_back(proxies[rng() % proxies.size()]);
                continue;
            }
            const double e = rng() % 8 == 0 ? 0.0 : extent(rng);
            // Snapped to a coarse grid now and then, so edges touch exactly.
            float x = coordinate(rng);
            float y = coordinate(rng);
            if (rng() % 4 == 0) {
                x = std::round(x / 8.0f) * 8.0f;
                y = std::round(y / 8.0f) * 8.0f;
            }
            proxies.push_back(Proxy{Vector2(x, y), rng() % 4 == 0 ? std::round(e) : e});
        }
        if (round % 3 == 0) {
            std::sort(proxies.begin(), proxies.end(),
                      [](const Proxy& a, const Proxy& b) { return a.position.x < b.position.x; });
        }
        ASSERT_EQ(Found(broadPhase, proxies), EveryMeetingPair(proxies)) << "round " << round;
    }
}

TEST(BroadPhase, EachCallAnswersForItsOwnProxiesOnly) {
    BroadPhase broadPhase;
    ASSERT_EQ(Found(broadPhase, {At(0, 0, 5), At(1, 1, 5), At(2, 2, 5)}).size(), 3u);
    EXPECT_EQ(Found(broadPhase, {At(100, 0, 1), At(0, 0, 1)}), Pairs{});
    EXPECT_EQ(Found(broadPhase, {At(100, 0, 1), At(0, 0, 1), At(99, 0, 1)}), (Pairs{{0, 2}}));
}

// Assertions are compiled into the debug and sanitizer builds only.
TEST(BroadPhaseDeathTest, ProxiesWithoutAFiniteBoxStopTheProgram) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    BroadPhase broadPhase;
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_DEATH(broadPhase.FindCandidatePairs({At(0, 0, 1), At(inf, 0, 1)}), "finite place");
    EXPECT_DEATH(broadPhase.FindCandidatePairs({At(0, std::nanf(""), 1)}), "finite place");
    EXPECT_DEATH(broadPhase.FindCandidatePairs({At(0, 0, -1)}), "not negative");
    EXPECT_DEATH(broadPhase.FindCandidatePairs({At(0, 0, std::nan(""))}), "not negative");
#endif
}
