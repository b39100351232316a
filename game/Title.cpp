#include "Title.h"

#include "K_AsteroidField.h"

#include <utility>

Title::Title(const vexa::Transform& transform, std::shared_ptr<vexa::Model> model)
    : Actor(transform, std::move(model)) {}

void Title::Update(float dt) {
    Actor::Update(dt);
}

void Title::Draw(vexa::Renderer& renderer) {
    K_AsteroidField::DrawInPalette(*this, renderer, &Palette::emblem);
}
