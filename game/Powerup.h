#pragma once

#include "framework/Actor.h"

#include <memory>

// A power-up: drifts left like an asteroid without turning; the ship collects it.
class Powerup : public vexa::Actor {
public:
    Powerup(float speed, const vexa::Transform& transform, std::shared_ptr<vexa::Model> model);

    void Update(float dt) override;
    void OnCollision(vexa::Actor* other) override;

    float m_speed;
};
