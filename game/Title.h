#pragma once

#include "framework/Actor.h"

#include <memory>

// The emblem of the game-over screen; it stands still.
class Title : public vexa::Actor {
public:
    Title(const vexa::Transform& transform, std::shared_ptr<vexa::Model> model);

    void Update(float dt) override;
    void Draw(vexa::Renderer& renderer) override;
};
