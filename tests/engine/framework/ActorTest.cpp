#include "framework/Actor.h"

#include "TempDir.h"
#include "core/PortableMath.h"
#include "renderer/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using vexa::Actor;
using vexa::Transform;
using vexa::Vector2;
using vexa::portable::BitsOf;

namespace {

Transform At(float x, float y, float scale = 1.0f) {
    return Transform(Vector2(x, y), 0.0f, scale);
}

float Looped(float start, float step, std::uint64_t steps) {
    for (std::uint64_t i = 0; i < steps; ++i) start += step;
    return start;
}

}  // namespace

TEST(Actor, LifespanCountsDownToZeroAndMinusOneMeansForever) {
    Actor forever(At(0.0f, 0.0f));
    for (int i = 0; i < 100; ++i) forever.Update(0.25f);
    EXPECT_EQ(forever.m_lifespan, -1.0f);
    EXPECT_FALSE(forever.m_destroyed);

    Actor brief(At(0.0f, 0.0f));
    brief.m_lifespan = 1.0f;
    for (int update = 1; update <= 3; ++update) {
        brief.Update(0.25f);
        EXPECT_FALSE(brief.m_destroyed) << "update " << update;
    }
    brief.Update(0.25f);
    EXPECT_TRUE(brief.m_destroyed) << "a lifespan of exactly 0 has run out";
}

TEST(Actor, DriftsByVelocityAndDampsPerSecond) {
    Actor still(At(10.0f, 20.0f));
    still.Update(1.0f);
    EXPECT_EQ(still.m_transform.position.x, 10.0f);
    EXPECT_EQ(still.m_transform.position.y, 20.0f);

    Actor drifting(At(10.0f, 20.0f));
    drifting.m_velocity = Vector2(4.0f, -2.0f);
    drifting.Update(0.5f);
    EXPECT_EQ(drifting.m_transform.position.x, 12.0f);
    EXPECT_EQ(drifting.m_transform.position.y, 19.0f);
    EXPECT_EQ(drifting.m_velocity.x, 4.0f) << "no damping keeps the speed";

    drifting.m_damping = 0.5f;
    drifting.Update(1.0f);
    EXPECT_FLOAT_EQ(drifting.m_velocity.x, 2.0f);
    EXPECT_FLOAT_EQ(drifting.m_velocity.y, -1.0f);
}

TEST(Actor, RadiusIsModelRadiusTimesScale) {
    EXPECT_EQ(Actor(At(0.0f, 0.0f, 5.0f)).GetRadius(), 0.0f);

    testing_support::TempDir dir;
    testing_support::ScopedWorkingDirectory cwd(dir.Path());
    dir.Write("two.txt", "{1,1,1}\n2\n{0,-2}\n{1,1}\n");
    auto model = std::make_shared<vexa::Model>();
    model->Load("two.txt");
    EXPECT_FLOAT_EQ(Actor(At(0.0f, 0.0f, 5.0f), model).GetRadius(), 10.0f);
}

TEST(Actor, AddingAStepManyTimesAtOnceGivesTheLoopsBits) {
    struct Case {
        float start;
        float step;
        std::uint64_t steps;
    };
    const float drift = -75.0f * (1.0f / 60.0f);  // an asteroid's, not exactly -1.25
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<Case> cases = {
        {-20.0f, drift, 216000},  // an hour past the left edge
        {800.0f, drift, 216000},  // across zero and every octave below 1
        {3.0f, drift, 50},        // steps that round half way
        {2.0f, 3.0f * std::ldexp(1.0f, -23), 100000},
        {16777216.0f, 1.0f, 10},  // each step rounds back
        {1.0e-38f, -1.0e-39f, 40},
        {-1.0e38f, -1.0e37f, 100},  // on to infinity
        {0.0f, -0.0f, 3},
        {-0.0f, -0.0f, 3},
        {5.0f, 0.0f, 7},
        {1.0f, inf, 3},
        {inf, -1.0f, 3},
        {std::nanf(""), 1.0f, 3},
        {-7.5f, drift, 0},
    };
    std::mt19937 rng(2026);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> power(-30, 30);
    for (int i = 0; i < 300; ++i) {
        cases.push_back({std::ldexp(unit(rng), power(rng)), std::ldexp(unit(rng), power(rng)),
                         static_cast<std::uint64_t>(rng() % 20000)});
    }
    for (const Case& c : cases) {
        const float expected = Looped(c.start, c.step, c.steps);
        const float got = Actor::AddedRepeatedly(c.start, c.step, c.steps);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(got));
            continue;
        }
        EXPECT_EQ(BitsOf(got), BitsOf(expected)) << c.start << " plus " << c.step << " " << c.steps
                                                 << " times: " << got << " for " << expected;
    }
}
