#pragma once

#include "framework/Actor.h"
#include "framework/BroadPhase.h"

#include <cstdint>
#include <limits>
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
//
// Resting keeps a step's cost flat however many actors a long run keeps. An
// actor that ignores collisions and settles after its update (Actor::Settle:
// it will never be drawn again and only drifts) leaves m_actors for
// m_resting, keeping its place in the order. Nothing updates, pairs or draws
// it until someone looks: ForEach and GetActor first bring it to where its
// updates would have left it, bit for bit, and GetActor, or a visit that
// changes it, wakes it. Its pairs go unseen while every actor that would see
// a collision stays right of where any resting actor can reach; when one
// comes nearer, or the step's length changes, they all wake, and the pass
// goes on as the plain walk.
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
        // Whoever asked may change it: it takes up its updates again.
        if (lookup.actor != nullptr && lookup.actor->m_resting) Wake(*lookup.actor);
        HandOut(lookup.actor);
        return static_cast<T*>(lookup.found);
    }

    // Calls `visit` with every actor, in list order; it must not add or remove
    // actors. For tests and tools that look over the whole scene. Resting
    // actors are brought up to date first; one the visit changes wakes.
    template <typename Visit>
    void ForEach(Visit&& visit) {
        m_allHandedOut = true;
        const bool outer = m_visiting;
        m_visiting = true;
        if (m_resting.empty()) {
            for (auto& actor : m_actors) visit(*actor);
        } else {
            BringRestingUpToDate();
            auto active = m_actors.begin();
            auto resting = m_resting.begin();
            while (active != m_actors.end() || resting != m_resting.end()) {
                if (resting == m_resting.end() ||
                    (active != m_actors.end() && (*active)->m_addedAs < (*resting)->m_addedAs)) {
                    visit(**active++);
                    continue;
                }
                Actor& actor = **resting++;
                const Looks before(actor);
                visit(actor);
                if (!(Looks(actor) == before)) m_disturbed.push_back(&actor);
            }
        }
        m_visiting = outer;
        if (!outer) WakeDisturbed();
    }

    // Actors that settle (Actor::Settle) leave the per-step work until anyone
    // looks at them. On by default; off, every actor is updated, paired and
    // drawn at every step.
    void AllowResting(bool allow);
    std::size_t CountResting() const { return m_resting.size(); }

    std::size_t Count() const { return m_actors.size() + m_resting.size(); }

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

    // All a visit could change of an actor that bears on its resting.
    struct Looks {
        explicit Looks(const Actor& actor)
            : transform{actor.m_transform},
              previous{actor.m_previousTransform},
              velocity{actor.m_velocity},
              damping{actor.m_damping},
              lifespan{actor.m_lifespan},
              destroyed{actor.m_destroyed},
              model{actor.m_model.get()} {}
        bool operator==(const Looks& other) const;

        Transform transform;
        Transform previous;
        Vector2 velocity;
        float damping;
        float lifespan;
        bool destroyed;
        const Model* model;
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

    // Resting: the actor leaves m_actors for m_resting, both in list order.
    ActorList::iterator Rest(ActorList::iterator it);
    void Wake(Actor& actor);
    void WakeAll();
    void WakeDisturbed();
    void BringUpToDate(Actor& actor);
    void BringRestingUpToDate();
    // True when the actor might touch a resting one and would see it.
    bool MightMeetResting(Actor& actor) const;
    void WakeIfAnyMightMeetResting();

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
    // Settled actors, out of the per-step work; with m_actors, the list.
    ActorList m_resting;
    bool m_restingAllowed = true;
    // How far right any resting actor's box reaches; they only drift left.
    double m_restingReach = -std::numeric_limits<double>::infinity();
    // Steps run, the step's length and the frame clock's, which the resting
    // actors' drift was told for.
    std::uint64_t m_steps = 0;
    float m_restingDt = 0.0f;
    float m_restingClockStep = 0.0f;
    std::uint64_t m_added = 0;
    // In pass 1, the order of the actor being updated: later ones have not
    // had this step yet.
    static constexpr std::uint64_t kNotWalking = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t m_walkingAt = kNotWalking;
    // An actor woke during this update: the notes no longer match the list.
    bool m_restingWoke = false;
    std::vector<Actor*> m_disturbed;
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
