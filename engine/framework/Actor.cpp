#include "Actor.h"

#include "core/PortableMath.h"
#include "renderer/Model.h"

#include <utility>

namespace vexa {

Actor::Actor(const Transform& transform, std::shared_ptr<Model> model)
    : m_transform{transform}, m_previousTransform{transform}, m_model{std::move(model)} {}

Actor::Actor(const Transform& transform) : m_transform{transform}, m_previousTransform{transform} {}

void Actor::Update(float dt) {
    m_previousTransform = m_transform;
    if (m_lifespan != -1.0f) {
        m_lifespan -= dt;
        m_destroyed = m_lifespan <= 0.0f;
    }
    m_transform.position += m_velocity * dt;
    // A power of dt keeps the decay the same at any frame rate. Without damping
    // the factor is pow(1, dt), which is exactly 1 for every dt, so it is skipped.
    if (m_damping != 0.0f) m_velocity *= Vector2(portable::Pow(1.0f - m_damping, dt));
}

void Actor::Draw(Renderer& renderer) {
    if (m_model) m_model->Draw(renderer, m_transform);
}

void Actor::OnCollision(Actor* /*other*/) {}

}  // namespace vexa
