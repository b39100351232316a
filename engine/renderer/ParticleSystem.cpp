#include "ParticleSystem.h"

#include "core/GlobalOrder.h"
#include "core/PortableMath.h"
#include "renderer/Renderer.h"

#include <cassert>
#include <cstddef>

namespace vexa {

VEXA_GLOBAL_ORDER(6) ParticleSystem g_particleSystem(1000);

void Particle::Initialize(const ParticleData& data) {
    m_data = data;
    m_isActive = true;
}

void Particle::Update(float dt) {
    m_data.lifetime += dt;
    // A particle dies where it stands: its last streak stays the one it drew.
    if (m_data.lifetime >= m_data.lifespan) {
        m_isActive = false;
        return;
    }
    m_data.prevPosition = m_data.position;
    m_data.position += m_data.velocity * dt;
    // A power of dt keeps the decay the same at any frame rate.
    if (dt != m_factorDt || m_data.damping != m_factorDamping) {
        m_factor = portable::Pow(1.0f - m_data.damping, dt);
        m_factorDt = dt;
        m_factorDamping = m_data.damping;
    }
    m_data.velocity *= Vector2(m_factor);
}

void Particle::Draw(Renderer& renderer) const {
    renderer.SetColor(m_data.color);
    renderer.DrawLine(m_data.position.x, m_data.position.y, m_data.prevPosition.x,
                      m_data.prevPosition.y);
}

ParticleSystem::ParticleSystem(int count)
    : m_particles(count > 0 ? static_cast<std::size_t>(count) : 0) {
    assert(count >= 0 && "a particle pool holds no fewer than 0 particles");
}

void ParticleSystem::Update(float dt) {
    for (Particle& particle : m_particles) {
        if (particle.m_isActive) particle.Update(dt);
    }
}

void ParticleSystem::Draw(Renderer& renderer) {
    if (m_reducedMotion) return;
    for (Particle& particle : m_particles) {
        if (particle.m_isActive) particle.Draw(renderer);
    }
}

Particle* ParticleSystem::GetFreeParticle() {
    for (Particle& particle : m_particles) {
        if (!particle.m_isActive) return &particle;
    }
    return nullptr;
}

}  // namespace vexa
