#pragma once

#include "framework/Actor.h"

#include <memory>

// The ship: moves up and down with W and S at m_speed pixels per second, its
// centre kept inside the window. An asteroid bursts it; a power-up is collected.
class Player : public vexa::Actor {
public:
    // The second number is accepted for the game's call and has no effect.
    Player(float speed, float second, const vexa::Transform& transform,
           std::shared_ptr<vexa::Model> model);

    void Update(float dt) override;
    void OnCollision(vexa::Actor* other) override;

    float m_speed;
    // Guards against a second explosion when several asteroids touch at once.
    bool m_exploded = false;

private:
    void Explode();
};
