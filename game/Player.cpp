#include "Player.h"

#include "Controls.h"
#include "K_AsteroidField.h"

#include "core/Time.h"
#include "framework/Emitter.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/Renderer.h"

#include <cstdint>
#include <utility>

Player::Player(float speed, float /*second*/, const vexa::Transform& transform,
               std::shared_ptr<vexa::Model> model)
    : Actor(transform, std::move(model)), m_speed{speed} {}

void Player::Update(float dt) {
    Actor::Update(dt);

    // The step's input as the game took it, so a replay steers the ship too.
    const auto* field = dynamic_cast<const K_AsteroidField*>(m_game);
    const std::uint8_t input =
        field ? field->GetStepInput() : Controls(vexa::g_inputSystem).StepInput();
    vexa::Vector2 forward;
    if (input & Controls::kStepUp) forward += vexa::Vector2(0, -1);
    if (input & Controls::kStepDown) forward += vexa::Vector2(0, 1);
    m_transform.position += forward * m_speed * vexa::g_time.GetDeltaTime();

    // The centre may reach either edge exactly; there is no wrap-around.
    const auto height = static_cast<float>(vexa::g_renderer.GetHeight());
    float& y = m_transform.position.y;
    if (y >= height) y = height;
    if (y <= 0.0f) y = 0.0f;
}

void Player::OnCollision(vexa::Actor* other) {
    if (other->m_tag == "Enemy") {
        if (!m_exploded) Explode();
        dynamic_cast<K_AsteroidField*>(m_game)->SetState(K_AsteroidField::PlayerDeadStart);
        m_destroyed = true;
    }
    if (other->m_tag == "Powerup") {
        dynamic_cast<K_AsteroidField*>(m_game)->m_powerupActive = true;
        other->m_destroyed = true;
    }
}

void Player::Explode() {
    vexa::EmitterData data;
    data.spawnRate = 200.0f;
    data.spawnTimer = 0.0f;
    data.burst = true;
    data.burstSize = 100;
    data.lifetimeMin = 0.5f;
    data.lifetimeMax = 1.5f;
    data.speedMin = 50.0f;
    data.speedMax = 250.0f;
    data.damping = 0.5f;
    data.angle = 0.0f;
    data.angleRange = vexa::kPi;
    const auto* field = dynamic_cast<const K_AsteroidField*>(m_game);
    data.color = field ? field->GetPaletteInUse().explosion : vexa::Color(1.0f, 1.0f, 1.0f, 1.0f);

    const vexa::Transform transform(m_transform.position, 0.0f, 1.0f);
    auto emitter = std::make_unique<vexa::Emitter>(transform, data);
    emitter->m_lifespan = 1.0f;
    m_game->m_scene->Add(std::move(emitter));
    m_exploded = true;
}

void Player::Draw(vexa::Renderer& renderer) {
    K_AsteroidField::DrawInPalette(*this, renderer, &Palette::ship);
}
