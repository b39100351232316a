#pragma once

#include "core/Color.h"
#include "core/Vector2.h"

#include <vector>

namespace vexa {

class Renderer;

// One spark: drawn as a streak from its position back to where it was before
// its last move. Velocity in pixels per second; damping is the fraction of
// speed lost per second; lifetime and lifespan in seconds.
struct ParticleData {
    Vector2 position;
    Vector2 prevPosition;
    Vector2 velocity;
    float damping = 0.0f;
    Color color;
    float lifetime = 0.0f;
    float lifespan = 0.0f;
};

class Particle {
public:
    void Initialize(const ParticleData& data);
    void Update(float dt);
    void Draw(Renderer& renderer) const;

    // Public by design: the pool and its users read a particle's state directly.
    ParticleData m_data;
    bool m_isActive = false;

private:
    // The damping factor for one step, kept with what it was computed from:
    // steps are all alike, so a particle works it out once in its life.
    float m_factorDamping = 0.0f;
    float m_factorDt = -1.0f;
    float m_factor = 1.0f;
};

// The fixed pool every particle of the program lives in; it never grows, so
// emitting, updating and drawing allocate nothing.
class ParticleSystem {
public:
    explicit ParticleSystem(int count);

    void Update(float dt);
    void Draw(Renderer& renderer);
    // The free particle with the lowest index, or null when all are active.
    // The caller activates it with Particle::Initialize.
    Particle* GetFreeParticle();

    // Reduced motion: particles are simulated as ever but not drawn, and an
    // emitter shows its burst as a ring instead. Only the picture changes:
    // what the pool holds, and so every replay, is the same either way.
    void SetReducedMotion(bool on) { m_reducedMotion = on; }
    bool GetReducedMotion() const { return m_reducedMotion; }

    // Public by design; tools and benchmarks count and reset particles here.
    std::vector<Particle> m_particles;

private:
    bool m_reducedMotion = false;
};

extern ParticleSystem g_particleSystem;

}  // namespace vexa
