#pragma once

#include "core/Color.h"
#include "framework/Actor.h"

#include <cstdint>

namespace vexa {

// How an emitter sprays: a one-shot burst and/or a steady rate (particles per
// second). Ranges are interpolated from the first end to the second, so either
// order works. Angles in radians, speeds in pixels per second.
struct EmitterData {
    float spawnRate = 0.0f;
    float spawnTimer = 0.0f;
    bool burst = false;
    std::uint64_t burstSize = 0;
    float lifetimeMin = 0.0f;
    float lifetimeMax = 0.0f;
    float speedMin = 0.0f;
    float speedMax = 0.0f;
    float damping = 0.0f;
    float angle = 0.0f;
    float angleRange = 0.0f;
    Color color;
};

// An actor that fills the global particle pool from its position, itself
// unseen, but for reduced motion: there its burst shows as a ring of its
// colour, growing at the sparks' mean speed for kRingSeconds, in place of the
// sparks (which the pool then simulates unseen).
class Emitter : public Actor {
public:
    Emitter(const Transform& transform, const EmitterData& data);

    void Update(float dt) override;
    void Draw(Renderer& renderer) override;
    void Emit();

    static constexpr float kRingSeconds = 0.5f;
    static constexpr int kRingSegments = 32;

    // Public like the actor's own members.
    EmitterData m_data;

private:
    // Play time since the burst, for the ring; negative before one. Read by
    // nothing but the drawing.
    float m_sinceBurst = -1.0f;

    // False when the pool had no free particle (nothing was drawn from the
    // random sequence then).
    bool EmitParticle();
};

}  // namespace vexa
