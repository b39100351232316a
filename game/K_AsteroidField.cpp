#include "K_AsteroidField.h"

#include "framework/Scene.h"
#include "input/InputSystem.h"

#include <memory>

bool K_AsteroidField::Initialize() {
    vexa::g_inputSystem.Initialize();
    m_scene = std::make_unique<vexa::Scene>();
    return true;
}

void K_AsteroidField::Shutdown() {}

void K_AsteroidField::Update(float dt) {
    m_scene->Update(dt);
}

void K_AsteroidField::Draw(vexa::Renderer& renderer) {
    m_scene->Draw(renderer);
}
