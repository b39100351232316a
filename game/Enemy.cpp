#include "Enemy.h"

#include "K_AsteroidField.h"
#include "Player.h"

#include "core/Time.h"
#include "framework/Scene.h"
#include "renderer/Renderer.h"

#include <utility>

Enemy::Enemy(float speed, float /*second*/, const vexa::Transform& transform,
             std::shared_ptr<vexa::Model> model)
    : Actor(transform, std::move(model)), m_speed{speed} {}

void Enemy::Update(float dt) {
    Actor::Update(dt);

    // Only the look follows the ship; the asteroid itself always drifts left.
    // Past the left edge it can only drift further out of sight, so where it
    // looks would never show: after an hour that is thousands of asteroids.
    if (!OutOfSightForGood()) {
        if (const Player* player = m_scene->GetActor<Player>()) {
            const vexa::Vector2 direction = player->m_transform.position - m_transform.position;
            m_transform.rotation = direction.Angle() + vexa::kHalfPi;
        }
    }

    // The speed given at construction never reaches the drift.
    m_speed = 75.0f;
    m_transform.position += Drift();
}

bool Enemy::Settle() {
    return SettleDrifting(Drift());
}

vexa::Vector2 Enemy::Drift() const {
    const vexa::Vector2 forward(-1, 0);
    return forward * m_speed * vexa::g_time.GetDeltaTime();
}

void Enemy::OnCollision(vexa::Actor* /*other*/) {}

bool Enemy::OutOfSightForGood() {
    return m_velocity.x <= 0.0f &&
           vexa::g_renderer.LeftOfView(m_transform.position.x, m_transform.position.y, GetRadius());
}

void Enemy::Draw(vexa::Renderer& renderer) {
    K_AsteroidField::DrawInPalette(*this, renderer, &Palette::asteroid);
}
