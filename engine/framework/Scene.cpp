#include "Scene.h"

#include <iterator>

namespace vexa {

void Scene::Add(std::unique_ptr<Actor> actor) {
    actor->m_scene = this;
    m_actors.push_back(std::move(actor));
}

void Scene::Update(float dt) {
    for (auto it = m_actors.begin(); it != m_actors.end();) {
        (*it)->Update(dt);
        it = (*it)->m_destroyed ? m_actors.erase(it) : std::next(it);
    }

    // end() is re-read on every step: actors appended by OnCollision join the
    // rest of this pass.
    for (auto a = m_actors.begin(); a != m_actors.end(); ++a) {
        for (auto b = std::next(a); b != m_actors.end(); ++b) {
            Actor& first = **a;
            Actor& second = **b;
            const float distance = Vector2::Distance(first.m_transform.position,
                                                     second.m_transform.position);
            const float reach = first.GetRadius() + second.GetRadius();
            if (reach >= distance) {
                first.OnCollision(&second);
                second.OnCollision(&first);
            }
        }
    }
}

void Scene::Draw(Renderer& renderer) {
    for (auto& actor : m_actors) actor->Draw(renderer);
}

void Scene::RemoveAll() {
    m_actors.clear();
}

}  // namespace vexa
