#include "framework/Actor.h"

#include "TempDir.h"
#include "renderer/Model.h"

#include <gtest/gtest.h>

#include <memory>

using vexa::Actor;
using vexa::Transform;
using vexa::Vector2;

namespace {

Transform At(float x, float y, float scale = 1.0f) {
    return Transform(Vector2(x, y), 0.0f, scale);
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
