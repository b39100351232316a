#pragma once

#include "framework/Actor.h"

#include <memory>

// The ship: moves up and down with W and S at m_speed pixels per second, its
// centre kept inside the window. An asteroid bursts it; a power-up is collected.
class Player : public vexa::Actor {
public:
    // The second number is ignored: the game's call passes it (as 0).
    Player(float speed, float second, const vexa::Transform& transform,
           std::shared_ptr<vexa::Model> model);

    void Update(float dt) override;
    void Draw(vexa::Renderer& renderer) override;
    void OnCollision(vexa::Actor* other) override;

    // Public like the other actors' members.
    float m_speed;
    // Guards against a second explosion when several asteroids touch at once.
    bool m_exploded = false;

private:
    void Explode();
};
