#pragma once

#include "core/Vector2.h"
#include "framework/Actor.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>
#include <utility>

namespace testing_support {

// The scene's update as first written: every actor updated and finished ones
// erased, then every pair tested in list order, and actors found by a walk of
// the whole list. The equivalence tests hold the real scene to it and the
// benchmarks measure against it.
class AllPairsScene {
public:
    void Add(std::unique_ptr<vexa::Actor> actor) { m_actors.push_back(std::move(actor)); }

    template <typename T>
    T* GetActor() {
        for (auto& actor : m_actors) {
            if (auto* found = dynamic_cast<T*>(actor.get())) return found;
        }
        return nullptr;
    }

    void Update(float dt) {
        for (auto it = m_actors.begin(); it != m_actors.end();) {
            (*it)->Update(dt);
            it = (*it)->m_destroyed ? m_actors.erase(it) : std::next(it);
        }
        for (auto a = m_actors.begin(); a != m_actors.end(); ++a) {
            for (auto b = std::next(a); b != m_actors.end(); ++b) {
                vexa::Actor& first = **a;
                vexa::Actor& second = **b;
                const float distance = vexa::Vector2::Distance(first.m_transform.position,
                                                               second.m_transform.position);
                const float reach = first.GetRadius() + second.GetRadius();
                if (reach >= distance) {
                    first.OnCollision(&second);
                    second.OnCollision(&first);
                }
            }
        }
    }

    // The k-th actor, counting round the list; null in an empty scene.
    vexa::Actor* Pick(std::size_t k) {
        if (m_actors.empty()) return nullptr;
        return std::next(m_actors.begin(), static_cast<long>(k % m_actors.size()))->get();
    }

    std::size_t Count() const { return m_actors.size(); }
    std::list<std::unique_ptr<vexa::Actor>>& Actors() { return m_actors; }

private:
    std::list<std::unique_ptr<vexa::Actor>> m_actors;
};

}  // namespace testing_support
