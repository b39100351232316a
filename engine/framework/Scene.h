#pragma once

#include "framework/Actor.h"
#include "framework/BroadPhase.h"

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

namespace vexa {

class Renderer;

// Owns the actors of one game, in the order they were added: the order of
// update, collision pairing and drawing. A linked list, so actors can be erased
// mid-walk and appended during the collision pass without moving any element.
//
// The collision pass reports exactly the pairs, in exactly the order, of a walk
// over every pair: the broad phase only skips the pairs that cannot touch, and
// the scene tells the touching candidate pairs in list order. That relies on
// one rule the whole engine keeps: nobody holds a pointer to an actor beyond
// the call that obtained it. So during an update only the actor being updated,
// actors just added, and actors handed out by GetActor or ForEach can change,
// and inside OnCollision only those and the two actors of the pair; the scene
// watches all of them. (A model reloaded in the middle of an update would
// change the size of every actor using it unseen.) Where the candidates cannot
// stay exact cheaply (a place or size that is not finite, a watched actor that
// moved or grew) the rest of the pass is the plain walk.
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
    // Remembered per type, and kept true by Add, erasure and RemoveAll.
    template <typename T>
    T* GetActor() {
        Lookup& lookup = FindLookup(&castTo<T>);
        if (!lookup.current) Refresh(lookup);
        HandOut(lookup.actor);
        return static_cast<T*>(lookup.found);
    }

    // Calls `visit` with every actor, in list order; it must not add or remove
    // actors. For tests and tools that look over the whole scene.
    template <typename Visit>
    void ForEach(Visit&& visit) {
        m_allHandedOut = true;
        const bool outer = m_visiting;
        m_visiting = true;
        for (auto& actor : m_actors) visit(*actor);
        m_visiting = outer;
    }

    std::size_t Count() const { return m_actors.size(); }

private:
    using ActorList = std::list<std::unique_ptr<Actor>>;
    using Index = BroadPhase::Index;

    // The remembered answer of GetActor for one type. `cast` is the type's
    // dynamic_cast and doubles as the key; `found` is its result for `actor`.
    struct Lookup {
        void* (*cast)(Actor*);
        Actor* actor;
        void* found;
        bool current;
    };

    // What the scene noted of an actor when it looked: with the broad phase's
    // proxy of the same index (where it stood and how far its box reaches),
    // all the exact test reads.
    struct Entry {
        ActorList::iterator it;
        float radius;
    };

    template <typename T>
    static void* castTo(Actor* actor) {
        return dynamic_cast<T*>(actor);
    }

    Lookup& FindLookup(void* (*cast)(Actor*));
    void HandOut(const Actor* actor) {
        if (actor != nullptr && (m_handedOut.empty() || m_handedOut.back() != actor)) {
            m_handedOut.push_back(actor);
        }
    }
    void Refresh(Lookup& lookup);
    ActorList::iterator Erase(ActorList::iterator it);

    // `exact`: every actor had a finite place and size when noted in pass 1.
    void Collide(bool exact);
    // The walk over every pair, from pair (a, b) on; the reference the
    // faster pass reproduces, and its way out when it cannot.
    void CollideAllPairs(ActorList::iterator a, ActorList::iterator b);
    bool MakeEntry(ActorList::iterator it, Entry& entry, BroadPhase::Proxy& proxy);
    bool Unchanged(Index k);
    // The index of the actor's entry at or after `from`, or the entry count.
    std::size_t FindEntry(const Actor* actor, std::size_t from);
    // After the pair (i, j) was told: true if the candidates still hold.
    bool StillExact(Index i, Index j);
    bool TakeAppended(Index current);
    std::vector<Index>& Extra(Index i);

    ActorList m_actors;
    std::vector<Lookup> m_lookups;
    // Actors given out by GetActor since the last check, and whether ForEach
    // gave out all of them.
    std::vector<const Actor*> m_handedOut;
    bool m_allHandedOut = false;
    // Walks that adding or removing actors would break, for the assertions.
    bool m_updating = false;
    bool m_visiting = false;

    // Scratch of the collision pass, kept between frames to avoid reallocating.
    // Entry and proxy k belong to the k-th actor in list order.
    std::vector<Entry> m_entries;
    std::vector<BroadPhase::Proxy> m_proxies;
    BroadPhase m_broadPhase;
    // Pairs with actors appended during the pass, per earlier actor.
    std::vector<std::vector<Index>> m_extra;
    std::size_t m_extraUsed = 0;
};

}  // namespace vexa
