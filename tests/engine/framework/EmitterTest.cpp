#include "framework/Emitter.h"

#include "core/Random.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include "SoftwareCanvas.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using vexa::Emitter;
using vexa::EmitterData;
using vexa::g_particleSystem;
using vexa::Transform;
using vexa::Vector2;

namespace {

int ActiveCount() {
    int count = 0;
    for (const auto& particle : g_particleSystem.m_particles) count += particle.m_isActive ? 1 : 0;
    return count;
}

EmitterData LongLived() {
    EmitterData data;
    data.lifetimeMin = 5.0f;
    data.lifetimeMax = 10.0f;
    data.speedMin = 50.0f;
    data.speedMax = 50.0f;
    return data;
}

// Emitters always fill the global pool, so every test starts it empty.
class EmitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clear();
        vexa::seedRandom(207);
    }
    void TearDown() override { Clear(); }
    static void Clear() {
        for (auto& particle : g_particleSystem.m_particles) particle.m_isActive = false;
    }

    Emitter Make(const EmitterData& data, float rotation = 0.0f) {
        return Emitter(Transform(Vector2(200.0f, 150.0f), rotation, 3.0f), data);
    }
};

}  // namespace

TEST_F(EmitterTest, BurstFiresOnceOnTheNextUpdate) {
    EmitterData data = LongLived();
    data.burst = true;
    data.burstSize = 100;
    Emitter emitter = Make(data);
    emitter.Update(0.1f);
    EXPECT_EQ(ActiveCount(), 100);
    EXPECT_FALSE(emitter.m_data.burst);
    emitter.Update(0.1f);
    EXPECT_EQ(ActiveCount(), 100);

    Emitter idle = Make(LongLived());
    idle.Update(0.1f);
    idle.m_data.spawnRate = std::numeric_limits<float>::quiet_NaN();
    idle.Update(0.1f);
    idle.m_data.spawnRate = -5.0f;
    idle.Update(0.1f);
    EXPECT_EQ(ActiveCount(), 100) << "no rate and no burst emits nothing";
}

TEST_F(EmitterTest, SteadyRateKeepsItsRemainderAcrossUpdates) {
    EmitterData data = LongLived();
    data.spawnRate = 10.0f;
    Emitter emitter = Make(data);
    std::vector<int> perUpdate;
    for (int i = 0; i < 6; ++i) {
        const int before = ActiveCount();
        emitter.Update(0.25f);
        perUpdate.push_back(ActiveCount() - before);
    }
    EXPECT_EQ(perUpdate, (std::vector<int>{3, 2, 3, 2, 3, 2}));
    EXPECT_LE(emitter.m_data.spawnTimer, 0.0f);

    Emitter fast = Make(data);
    fast.m_data.spawnRate = 33.3f;
    const int before = ActiveCount();
    fast.Update(0.1f);
    EXPECT_EQ(ActiveCount() - before, 4);
}

TEST_F(EmitterTest, FullPoolDropsParticlesWithoutDrawingRandomNumbers) {
    for (std::size_t i = 0; i < 990; ++i) g_particleSystem.m_particles[i].m_isActive = true;
    EmitterData data = LongLived();
    data.burst = true;
    data.burstSize = 100;
    data.spawnRate = 1000.0f;
    Emitter emitter = Make(data);
    vexa::seedRandom(5);
    emitter.Update(0.1f);
    EXPECT_EQ(ActiveCount(), 1000);
    const int next = vexa::random();

    // Ten particles took three draws each; the dropped ones took none.
    vexa::seedRandom(5);
    for (int i = 0; i < 30; ++i) vexa::random();
    EXPECT_EQ(next, vexa::random());
}

TEST_F(EmitterTest, ParticlesStartAtTheMovedEmitterHeadingItsWay) {
    EmitterData data = LongLived();
    data.burst = true;
    data.burstSize = 20;
    data.color = vexa::Color(1.0f, 0.5f, 0.25f, 1.0f);
    data.damping = 0.3f;
    Emitter emitter = Make(data);
    emitter.m_velocity = Vector2(8.0f, 0.0f);
    emitter.Update(0.5f);

    for (std::size_t i = 0; i < 20; ++i) {
        const vexa::ParticleData& p = g_particleSystem.m_particles[i].m_data;
        EXPECT_EQ(p.velocity.x, 0.0f);
        EXPECT_EQ(p.velocity.y, -50.0f) << "straight up the screen";
        EXPECT_EQ(p.position.x, 204.0f);
        EXPECT_EQ(p.prevPosition.x, 204.0f);
        EXPECT_EQ(p.damping, 0.3f);
        EXPECT_EQ(p.color.b, 0.25f);
    }
}

TEST_F(EmitterTest, DrawsLifespanThenSpreadThenSpeed) {
    EmitterData data;
    data.burst = true;
    data.burstSize = 1;
    data.lifetimeMin = 1.0f;
    data.lifetimeMax = 2.0f;
    data.speedMin = 10.0f;
    data.speedMax = 20.0f;
    data.angle = 0.5f;
    data.angleRange = vexa::kPi;
    Emitter emitter = Make(data, 0.25f);
    vexa::seedRandom(99);
    emitter.Update(0.0f);

    vexa::seedRandom(99);
    const float lifespan = vexa::randomf(1.0f, 2.0f);
    const float spread = vexa::randomf(-vexa::kPi, vexa::kPi);
    const float speed = vexa::randomf(10.0f, 20.0f);
    const Vector2 expected = Vector2(0.0f, -1.0f).Rotate(0.25f + 0.5f + spread) * speed;
    const vexa::ParticleData& p = g_particleSystem.m_particles[0].m_data;
    EXPECT_EQ(p.lifespan, lifespan);
    EXPECT_EQ(p.velocity.x, expected.x);
    EXPECT_EQ(p.velocity.y, expected.y);
}

// The game's explosion, with and without reduced motion.
TEST_F(EmitterTest, ReducedMotionShowsTheBurstAsAGrowingRingAndSimulatesAlike) {
    EmitterData data = LongLived();
    data.burst = true;
    data.burstSize = 100;
    data.speedMax = 250.0f;
    data.color = vexa::Color(1.0f, 1.0f, 1.0f, 1.0f);
    std::vector<float> pools[2];
    for (const bool reduced : {false, true}) {
        Clear();
        vexa::seedRandom(207);
        g_particleSystem.SetReducedMotion(reduced);
        testing_support::SoftwareCanvas canvas;
        Emitter emitter(Transform(Vector2(400.0f, 300.0f), 0.0f, 1.0f), data);
        for (int step = 1; step <= 40; ++step) {
            emitter.Update(1.0f / 60.0f);
            g_particleSystem.Update(1.0f / 60.0f);
            if (step != 16 && step != 40) continue;
            canvas.Clear();
            emitter.Draw(vexa::g_renderer);
            g_particleSystem.Draw(vexa::g_renderer);
            // A quarter second after the burst: 150 px/s * 0.25 s from the
            // centre, where no spark is drawn; past half a second, nothing.
            if (step == 40) {
                EXPECT_EQ(canvas.LitCount() == 0, reduced);
            } else if (reduced) {
                EXPECT_NEAR(canvas.LitBox().Width(), 75, 2);
                EXPECT_FALSE(canvas.IsLitNear(400.0f, 300.0f, 25));
            }
        }
        for (const auto& particle : g_particleSystem.m_particles) {
            const Vector2& at = particle.m_data.position;
            if (particle.m_isActive) pools[reduced].insert(pools[reduced].end(), {at.x, at.y});
        }
    }
    g_particleSystem.SetReducedMotion(false);
    EXPECT_EQ(pools[0], pools[1]);
}
