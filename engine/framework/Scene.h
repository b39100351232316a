#pragma once

#include "framework/Actor.h"

#include <list>
#include <memory>

namespace vexa {

class Renderer;

// Owns the actors of one game, in the order they were added: the order of
// update, collision pairing and drawing. A linked list, so actors can be erased
// mid-walk and appended during the collision pass without moving any element.
class Scene {
public:
    // Sets the actor's scene and appends it; safe from inside OnCollision.
    void Add(std::unique_ptr<Actor> actor);
    // Pass 1 updates each actor and erases it right after if it is flagged;
    // pass 2 tells both actors of every touching pair, the earlier one first.
    void Update(float dt);
    void Draw(Renderer& renderer);
    void RemoveAll();

    // The first actor of type T in list order, flagged or not; null if none.
    template <typename T>
    T* GetActor() {
        for (auto& actor : m_actors) {
            if (auto* found = dynamic_cast<T*>(actor.get())) return found;
        }
        return nullptr;
    }

    // Calls `visit` with every actor, in list order; it must not add or remove actors.
    template <typename Visit>
    void ForEach(Visit&& visit) {
        for (auto& actor : m_actors) visit(*actor);
    }

    std::size_t Count() const { return m_actors.size(); }

private:
    std::list<std::unique_ptr<Actor>> m_actors;
};

}  // namespace vexa
