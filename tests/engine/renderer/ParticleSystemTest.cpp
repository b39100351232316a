#include "renderer/ParticleSystem.h"

#include "Printers.h"
#include "SoftwareCanvas.h"
#include "renderer/Renderer.h"

#include <gtest/gtest.h>

using testing_support::Rgba;
using testing_support::SameVector;
using testing_support::SoftwareCanvas;
using vexa::Particle;
using vexa::ParticleData;
using vexa::ParticleSystem;
using vexa::Vector2;

namespace {

ParticleData Moving(const Vector2& velocity, float lifespan, float damping = 0.0f) {
    ParticleData data;
    data.position = Vector2(100.0f, 100.0f);
    data.prevPosition = data.position;
    data.velocity = velocity;
    data.damping = damping;
    data.lifespan = lifespan;
    return data;
}

class Pool : public ::testing::Test {
protected:
    Particle* Emit(float lifespan) {
        Particle* particle = m_pool.GetFreeParticle();
        if (particle != nullptr) particle->Initialize(Moving(Vector2(1.0f, 0.0f), lifespan));
        return particle;
    }

    ParticleSystem m_pool{1000};
};

}  // namespace

TEST_F(Pool, HandsOutTheLowestFreeSlotAndNothingWhenFull) {
    for (int i = 0; i < 5; ++i) Emit(i == 2 ? 0.5f : 10.0f);
    EXPECT_EQ(m_pool.GetFreeParticle(), &m_pool.m_particles[5]);
    EXPECT_FALSE(m_pool.m_particles[5].m_isActive) << "handing out does not mark the slot";

    m_pool.Update(1.0f);
    EXPECT_EQ(m_pool.GetFreeParticle(), &m_pool.m_particles[2]);

    while (Emit(10.0f) != nullptr) {}
    EXPECT_EQ(m_pool.GetFreeParticle(), nullptr);
    EXPECT_EQ(m_pool.m_particles.size(), 1000u);
}

TEST_F(Pool, ParticleIsFreedWhereItStandsWhenItsLifeIsUsedUp) {
    Particle& particle = *Emit(1.0f);
    for (int update = 1; update <= 3; ++update) {
        const float before = particle.m_data.position.x;
        m_pool.Update(0.25f);
        ASSERT_TRUE(particle.m_isActive) << "update " << update;
        EXPECT_GT(particle.m_data.position.x, before);
    }
    const Vector2 last = particle.m_data.position;
    m_pool.Update(0.25f);
    EXPECT_FALSE(particle.m_isActive);
    EXPECT_PRED2(SameVector, particle.m_data.position, last);

    Particle& stillborn = *Emit(0.0f);
    m_pool.Update(0.01f);
    EXPECT_FALSE(stillborn.m_isActive);
}

TEST_F(Pool, MovesByVelocityAndDampsIndependentlyOfFrameRate) {
    Particle free;
    free.Initialize(Moving(Vector2(60.0f, 0.0f), 10.0f));
    free.Update(0.5f);
    EXPECT_PRED2(SameVector, free.m_data.prevPosition, Vector2(100.0f, 100.0f));
    EXPECT_PRED2(SameVector, free.m_data.position, Vector2(130.0f, 100.0f));
    EXPECT_PRED2(SameVector, free.m_data.velocity, Vector2(60.0f, 0.0f));

    Particle damped;
    damped.Initialize(Moving(Vector2(60.0f, 0.0f), 10.0f, 0.75f));
    damped.Update(0.5f);
    EXPECT_FLOAT_EQ(damped.m_data.velocity.x, 30.0f);
    EXPECT_PRED2(SameVector, damped.m_data.position, Vector2(130.0f, 100.0f));
}

TEST_F(Pool, DrawsLiveParticlesAsStreaksInTheirColourBytes) {
    SoftwareCanvas canvas;
    ParticleData data = Moving(Vector2(40.0f, 0.0f), 0.5f);
    data.color = vexa::Color(1.0f, 0.5f, 0.0f, 1.0f);
    m_pool.GetFreeParticle()->Initialize(data);
    data.position = Vector2(100.0f, 300.0f);
    data.prevPosition = data.position;
    m_pool.GetFreeParticle()->Initialize(data);

    m_pool.Draw(vexa::g_renderer);
    EXPECT_TRUE(canvas.IsLitNear(100.0f, 100.0f)) << "a fresh particle is a dot at its start";
    EXPECT_TRUE(canvas.IsLitNear(100.0f, 300.0f));
    EXPECT_FALSE(canvas.IsLitNear(100.0f, 200.0f));

    canvas.Clear();
    m_pool.Update(0.25f);
    m_pool.Draw(vexa::g_renderer);
    EXPECT_EQ(canvas.Pixel(105, 100), (Rgba{255, 127, 0, 255}));
    EXPECT_TRUE(canvas.IsLitNear(110.0f, 100.0f));
    EXPECT_EQ(canvas.Pixel(105, 300), (Rgba{255, 127, 0, 255}));

    canvas.Clear();
    m_pool.Update(0.25f);
    m_pool.Draw(vexa::g_renderer);
    EXPECT_EQ(canvas.LitCount(), 0) << "dead particles are skipped";
}

// Assertions are compiled into the debug and sanitizer builds only.
TEST(PoolDeathTest, ANegativeSizeStopsTheProgram) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    EXPECT_DEATH(vexa::ParticleSystem(-1), "no fewer than 0");
#endif
}
