#include "Emitter.h"

#include "core/Random.h"
#include "renderer/ParticleSystem.h"

namespace vexa {

Emitter::Emitter(const Transform& transform, const EmitterData& data)
    : Actor{transform}, m_data{data} {}

void Emitter::Update(float dt) {
    Actor::Update(dt);

    if (m_data.burst) {
        m_data.burst = false;
        // Nothing frees a particle during a burst, so once the pool is full the
        // rest of the burst would be dropped anyway.
        for (std::uint64_t i = 0; i < m_data.burstSize; ++i) {
            if (!EmitParticle()) break;
        }
    }

    // Written as "not greater" so that a NaN rate also means off.
    if (!(m_data.spawnRate > 0.0f)) return;

    // The timer keeps its negative remainder, so the rate holds at any frame rate.
    const float interval = 1.0f / m_data.spawnRate;
    m_data.spawnTimer += dt;
    while (m_data.spawnTimer > 0.0f) {
        Emit();
        const float next = m_data.spawnTimer - interval;
        // A rate so high that one interval no longer moves the timer would
        // never leave this loop.
        if (next == m_data.spawnTimer) break;
        m_data.spawnTimer = next;
    }
}

void Emitter::Draw(Renderer& /*renderer*/) {}

void Emitter::Emit() {
    EmitParticle();
}

bool Emitter::EmitParticle() {
    Particle* particle = g_particleSystem.GetFreeParticle();
    if (particle == nullptr) return false;

    ParticleData data;
    // The draws come in a fixed order (lifespan, spread, speed) so a seeded run
    // repeats exactly.
    data.lifespan = randomf(m_data.lifetimeMin, m_data.lifetimeMax);
    data.lifetime = 0.0f;
    data.position = m_transform.position;
    data.prevPosition = m_transform.position;
    data.color = m_data.color;
    const float spread = randomf(-m_data.angleRange, m_data.angleRange);
    const Vector2 direction =
        Vector2(0.0f, -1.0f).Rotate(m_transform.rotation + m_data.angle + spread);
    data.velocity = direction * randomf(m_data.speedMin, m_data.speedMax);
    data.damping = m_data.damping;

    particle->Initialize(data);
    return true;
}

}  // namespace vexa
