#pragma once

#include "framework/Actor.h"

#include <memory>

// A power-up: drifts left like an asteroid without turning; the ship collects it.
class Powerup : public vexa::Actor {
public:
    // The speed is ignored: the game's call passes it (as 0), but the drift is
    // always 75 pixels per second.
    Powerup(float speed, const vexa::Transform& transform, std::shared_ptr<vexa::Model> model);

    void Update(float dt) override;
    void Draw(vexa::Renderer& renderer) override;
    void OnCollision(vexa::Actor* other) override;
    bool IgnoresCollisions() const override { return true; }
    // Once wholly left of the view it only drifts further out of sight.
    bool Settle() override;

    // Public like the other actors' members; set to 75 by every update.
    float m_speed;

private:
    // What an update adds to the position after the base update, at m_speed.
    vexa::Vector2 Drift() const;
};
