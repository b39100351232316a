#include "Emitter.h"

#include "core/Random.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <cmath>

namespace vexa {

Emitter::Emitter(const Transform& transform, const EmitterData& data)
    : Actor{transform}, m_data{data} {}

void Emitter::Update(float dt) {
    Actor::Update(dt);

    if (m_sinceBurst >= 0.0f) m_sinceBurst += dt;
    if (m_data.burst) {
        m_data.burst = false;
        m_sinceBurst = 0.0f;
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

void Emitter::Draw(Renderer& renderer) {
    if (!g_particleSystem.GetReducedMotion() || m_sinceBurst < 0.0f ||
        m_sinceBurst > kRingSeconds) {
        return;
    }
    const float radius = std::fabs(m_data.speedMin + m_data.speedMax) * 0.5f * m_sinceBurst;
    if (!std::isfinite(radius)) return;
    const Vector2& centre = m_transform.position;
    if (renderer.OutOfView(centre.x, centre.y, radius)) return;

    renderer.SetColor(m_data.color);
    Vector2 from = centre + Vector2(radius, 0.0f);
    for (int i = 1; i <= kRingSegments; ++i) {
        const float angle = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(kRingSegments);
        const Vector2 to = centre + Vector2(std::cos(angle), std::sin(angle)) * radius;
        renderer.DrawLine(from.x, from.y, to.x, to.y);
        from = to;
    }
}

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
