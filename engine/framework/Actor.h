#pragma once

#include "core/Transform.h"
#include "renderer/Model.h"

#include <cstdint>
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

    // Resting. Called right after an update: true from an actor that can
    // show it will never again be drawn nor change but by a steady drift. The
    // scene may then stop updating it every step and bring it up to date
    // through CatchUp whenever anyone looks at it.
    virtual bool Settle() { return false; }
    // The next `steps` updates of `dt` at once, exactly as they would have
    // left a settled actor: by default the drift SettleDrifting noted.
    virtual void CatchUp(std::uint64_t steps, float dt);
    // True when OnCollision does nothing, so no pair this actor is in can show.
    virtual bool IgnoresCollisions() const { return false; }

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

    // `start` after `steps` repetitions of `start += step` in float, bit for
    // bit, in time that grows with the powers of two crossed, not the steps.
    static float AddedRepeatedly(float start, float step, std::uint64_t steps);

protected:
    // For an actor whose update, after the base one, only moves it by `drift`:
    // settles it while the base update leaves it be, the drift leads
    // straight left, and it stays wholly left of the view before and after
    // its last step, where nothing of it is drawn ever again.
    bool SettleDrifting(const Vector2& drift);

private:
    friend class Scene;
    // The scene's notes: the actor's place in the order of adding, whether it
    // rests, and the scene's step it has been brought up to; and the drift
    // SettleDrifting noted for CatchUp.
    std::uint64_t m_addedAs = 0;
    std::uint64_t m_restingSince = 0;
    bool m_resting = false;
    Vector2 m_restingDrift;
};

}  // namespace vexa
