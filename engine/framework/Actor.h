#pragma once

#include "core/Transform.h"
#include "renderer/Model.h"

#include <memory>
#include <string>

namespace vexa {

class Game;
class Renderer;
class Scene;

// Base of everything that lives in a scene. The base update counts the lifespan
// down (seconds; exactly -1 is unlimited), drifts by the velocity (pixels per
// second) and damps it (fraction lost per second).
class Actor {
public:
    Actor(const Transform& transform, std::shared_ptr<Model> model);
    explicit Actor(const Transform& transform);
    virtual ~Actor() = default;

    // Overrides call the base Update first.
    virtual void Update(float dt);
    virtual void Draw(Renderer& renderer);
    virtual void OnCollision(Actor* other);

    // Model radius times scale; 0 without a model.
    float GetRadius() { return m_model ? m_model->GetRadius() * m_transform.scale : 0.0f; }

    // Public by design: the game, the scene and other actors set them directly.
    Scene* m_scene = nullptr;
    Game* m_game = nullptr;
    Transform m_transform;
    // Where the actor stood before its last update: a frame drawn between two
    // steps shows it partway from there.
    Transform m_previousTransform;
    std::string m_tag;
    float m_lifespan = -1.0f;
    bool m_destroyed = false;
    std::shared_ptr<Model> m_model;
    Vector2 m_velocity;
    float m_damping = 0.0f;
};

}  // namespace vexa
