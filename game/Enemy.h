#pragma once

#include "framework/Actor.h"

#include <memory>

// The asteroid: drifts left at 75 pixels per second and keeps its model turned
// towards the ship. Touching it ends the run; that reaction is the ship's.
class Enemy : public vexa::Actor {
public:
    // Both numbers are ignored: the game's call passes them, but the drift is
    // always 75 pixels per second.
    Enemy(float speed, float second, const vexa::Transform& transform,
          std::shared_ptr<vexa::Model> model);

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
    // Wholly left of the window and never moving right: not drawn again.
    bool OutOfSightForGood();
};
