#include "Powerup.h"

#include "K_AsteroidField.h"

#include "core/Time.h"

#include <utility>

Powerup::Powerup(float speed, const vexa::Transform& transform, std::shared_ptr<vexa::Model> model)
    : Actor(transform, std::move(model)), m_speed{speed} {}

void Powerup::Update(float dt) {
    Actor::Update(dt);

    m_speed = 75.0f;
    m_transform.position += Drift();
}

bool Powerup::Settle() {
    return SettleDrifting(Drift());
}

vexa::Vector2 Powerup::Drift() const {
    const vexa::Vector2 forward(-1, 0);
    return forward * m_speed * vexa::g_time.GetDeltaTime();
}

void Powerup::OnCollision(vexa::Actor* /*other*/) {}

void Powerup::Draw(vexa::Renderer& renderer) {
    K_AsteroidField::DrawInPalette(*this, renderer, &Palette::powerup);
}
