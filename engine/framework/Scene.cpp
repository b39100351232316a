#include "Scene.h"

#include "core/Time.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <iterator>
#include <limits>

namespace vexa {
namespace {

// The one overlap test of the game: touching counts, and the comparison is
// made in float exactly as written here, whichever walk asks.
bool touching(Actor& first, Actor& second) {
    const float distance =
        Vector2::Distance(first.m_transform.position, second.m_transform.position);
    const float reach = first.GetRadius() + second.GetRadius();
    return reach >= distance;
}

void tell(Actor& first, Actor& second) {
    first.OnCollision(&second);
    second.OnCollision(&first);
}

// An extent a little wider than the radius: the float test may accept a pair
// whose true distance exceeds the summed radii by a few roundings, and a
// distance below about 1e-19 squares to nothing at all.
constexpr double kRelativeSlack = 1.0e-5;
constexpr double kAbsoluteSlack = 1.0e-18;

double extentOf(double radius) {
    return std::fabs(radius) * (1.0 + kRelativeSlack) + kAbsoluteSlack;
}

// The place `along` the way from `from` to `to` (0 to 1); a turn goes the
// shorter way round.
Transform between(const Transform& from, const Transform& to, float along) {
    constexpr float kTurn = 2.0f * kPi;
    float turn = to.rotation - from.rotation;
    if (turn > kPi) turn -= kTurn;
    if (turn < -kPi) turn += kTurn;
    const Vector2 moved = to.position - from.position;
    return Transform(from.position + moved * along, from.rotation + turn * along,
                     from.scale + (to.scale - from.scale) * along);
}

}  // namespace

void Scene::Add(std::unique_ptr<Actor> actor) {
    assert(actor != nullptr && "Scene::Add takes an actor");
    assert(!m_visiting && "ForEach's visit must not add actors");
    actor->m_scene = this;
    actor->m_addedAs = m_added++;
    // A later actor never changes a type's first actor, unless there was none.
    for (Lookup& lookup : m_lookups) {
        if (!lookup.current || lookup.found != nullptr) continue;
        if (void* found = lookup.cast(actor.get())) {
            lookup.found = found;
            lookup.actor = actor.get();
        }
    }
    m_actors.push_back(std::move(actor));
}

void Scene::Update(float dt) {
    assert(!m_updating && "Scene::Update called from inside itself");
    m_updating = true;
    // The resting actors' steps were told for one length of step and one
    // frame clock: with either changed, they take up their updates again.
    if (!m_resting.empty() && (dt != m_restingDt || g_time.GetDeltaTime() != m_restingClockStep)) {
        WakeAll();
    }
    m_restingDt = dt;
    m_restingClockStep = g_time.GetDeltaTime();
    ++m_steps;
    m_restingWoke = false;
    // Each actor's place is noted right after its update, while it is at hand;
    // pass 2 starts from these notes.
    m_entries.clear();
    m_proxies.clear();
    m_handedOut.clear();
    m_allHandedOut = false;
    bool exact = true;
    for (auto it = m_actors.begin(); it != m_actors.end();) {
        m_walkingAt = (*it)->m_addedAs;
        (*it)->Update(dt);
        if ((*it)->m_destroyed) {
            it = Erase(it);
            continue;
        }
        if (m_restingAllowed && (*it)->IgnoresCollisions() && (*it)->Settle()) {
            it = Rest(it);
            continue;
        }
        // Noted in place: a note copied whole from a temporary is read back
        // wider than its parts were written, which stalls every step.
        if (exact) exact = MakeEntry(it, m_entries.emplace_back(), m_proxies.emplace_back());
        ++it;
    }
    m_walkingAt = kNotWalking;
    // Actors woken during the pass stand among the noted ones unnoted.
    if (m_restingWoke) exact = false;
    Collide(exact);
    m_updating = false;
}

void Scene::Draw(Renderer& renderer) {
    const float along = g_time.GetInterpolation();
    if (along >= 1.0f) {
        for (auto& actor : m_actors) actor->Draw(renderer);
        return;
    }
    // Between two steps: each actor is drawn partway from its place before the
    // last step, then put back exactly where the rules left it.
    for (auto& actor : m_actors) {
        const Transform now = actor->m_transform;
        actor->m_transform = between(actor->m_previousTransform, now, along);
        actor->Draw(renderer);
        actor->m_transform = now;
    }
}

void Scene::RemoveAll() {
    assert(!m_updating && !m_visiting && "RemoveAll would erase the actors the scene is walking");
    m_actors.clear();
    m_resting.clear();
    m_restingReach = -std::numeric_limits<double>::infinity();
    for (Lookup& lookup : m_lookups) lookup = Lookup{lookup.cast, nullptr, nullptr, true};
}

Scene::Lookup& Scene::FindLookup(void* (*cast)(Actor*)) {
    for (Lookup& lookup : m_lookups) {
        if (lookup.cast == cast) return lookup;
    }
    m_lookups.push_back(Lookup{cast, nullptr, nullptr, false});
    return m_lookups.back();
}

void Scene::Refresh(Lookup& lookup) {
    lookup.actor = nullptr;
    lookup.found = nullptr;
    for (auto& actor : m_actors) {
        if (void* found = lookup.cast(actor.get())) {
            lookup.actor = actor.get();
            lookup.found = found;
            break;
        }
    }
    // A resting actor comes first if it was added first.
    for (auto& actor : m_resting) {
        if (lookup.actor != nullptr && actor->m_addedAs > lookup.actor->m_addedAs) break;
        if (void* found = lookup.cast(actor.get())) {
            lookup.actor = actor.get();
            lookup.found = found;
            break;
        }
    }
    lookup.current = true;
}

void Scene::AllowResting(bool allow) {
    assert(!m_visiting && "ForEach's visit must not change the scene's lists");
    if (!allow) WakeAll();
    m_restingAllowed = allow;
}

bool Scene::Looks::operator==(const Looks& other) const {
    const auto same = [](const Transform& a, const Transform& b) {
        return a.position.x == b.position.x && a.position.y == b.position.y &&
               a.rotation == b.rotation && a.scale == b.scale;
    };
    return same(transform, other.transform) && same(previous, other.previous) &&
           velocity.x == other.velocity.x && velocity.y == other.velocity.y &&
           damping == other.damping && lifespan == other.lifespan && destroyed == other.destroyed &&
           model == other.model;
}

Scene::ActorList::iterator Scene::Rest(ActorList::iterator it) {
    Actor& actor = **it;
    actor.m_resting = true;
    actor.m_restingSince = m_steps;
    m_restingReach = std::max(m_restingReach, static_cast<double>(actor.m_transform.position.x) +
                                                  extentOf(actor.GetRadius()));
    // Actors mostly settle oldest first: their place is found from the end.
    auto at = m_resting.end();
    while (at != m_resting.begin() && (*std::prev(at))->m_addedAs > actor.m_addedAs) --at;
    const auto next = std::next(it);
    m_resting.splice(at, m_actors, it);
    return next;
}

void Scene::BringUpToDate(Actor& actor) {
    // In pass 1 an actor after the one being updated has not had this step.
    const std::uint64_t due =
        m_walkingAt != kNotWalking && actor.m_addedAs > m_walkingAt ? m_steps - 1 : m_steps;
    assert(due >= actor.m_restingSince && "a resting actor is never ahead of the scene");
    actor.CatchUp(due - actor.m_restingSince, m_restingDt);
    actor.m_restingSince = due;
}

void Scene::BringRestingUpToDate() {
    for (auto& actor : m_resting) BringUpToDate(*actor);
}

void Scene::Wake(Actor& actor) {
    // A visit's walk over the lists must not see them change under it.
    if (m_visiting) {
        BringUpToDate(actor);
        m_disturbed.push_back(&actor);
        return;
    }
    auto it = m_resting.begin();
    while (it != m_resting.end() && it->get() != &actor) ++it;
    assert(it != m_resting.end() && "only a resting actor wakes");
    BringUpToDate(actor);
    actor.m_resting = false;
    auto at = m_actors.begin();
    while (at != m_actors.end() && (*at)->m_addedAs < actor.m_addedAs) ++at;
    m_actors.splice(at, m_resting, it);
    if (m_updating) m_restingWoke = true;
}

void Scene::WakeAll() {
    if (m_resting.empty()) return;
    for (auto& actor : m_resting) {
        BringUpToDate(*actor);
        actor->m_resting = false;
    }
    m_actors.merge(m_resting, [](const std::unique_ptr<Actor>& a, const std::unique_ptr<Actor>& b) {
        return a->m_addedAs < b->m_addedAs;
    });
    m_restingReach = -std::numeric_limits<double>::infinity();
    if (m_updating) m_restingWoke = true;
}

void Scene::WakeDisturbed() {
    for (Actor* actor : m_disturbed) {
        if (actor->m_resting) Wake(*actor);
    }
    m_disturbed.clear();
}

bool Scene::MightMeetResting(Actor& actor) const {
    if (m_resting.empty()) return false;
    const double left =
        static_cast<double>(actor.m_transform.position.x) - extentOf(actor.GetRadius());
    return !(left > m_restingReach) && !actor.IgnoresCollisions();
}

void Scene::WakeIfAnyMightMeetResting() {
    if (m_resting.empty()) return;
    for (auto& actor : m_actors) {
        if (MightMeetResting(*actor)) {
            WakeAll();
            return;
        }
    }
}

Scene::ActorList::iterator Scene::Erase(ActorList::iterator it) {
    for (Lookup& lookup : m_lookups) {
        if (lookup.actor == it->get()) lookup.current = false;
    }
    return m_actors.erase(it);
}

// end() is re-read on every step: actors appended by OnCollision join the rest
// of this pass.
void Scene::CollideAllPairs(ActorList::iterator a, ActorList::iterator b) {
    // Resting actors join the walk as soon as anything that would see them
    // might reach them; the pairs the walk has passed were apart until then.
    WakeIfAnyMightMeetResting();
    while (a != m_actors.end()) {
        for (; b != m_actors.end(); ++b) {
            if (!touching(**a, **b)) continue;
            tell(**a, **b);
            WakeIfAnyMightMeetResting();
        }
        ++a;
        if (a != m_actors.end()) b = std::next(a);
    }
}

bool Scene::MakeEntry(ActorList::iterator it, Entry& entry, BroadPhase::Proxy& proxy) {
    Actor& actor = **it;
    // Read into locals and written once: read back from the note, the parts
    // of a wider store would stall.
    const float x = actor.m_transform.position.x;
    const float y = actor.m_transform.position.y;
    const float radius = actor.GetRadius();
    entry.it = it;
    entry.radius = radius;
    proxy.position.x = x;
    proxy.position.y = y;
    // Infinities and NaNs have no extent to sort by; such a scene takes the
    // plain walk.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return false;
    proxy.extent = extentOf(static_cast<double>(radius));
    return true;
}

bool Scene::Unchanged(Index k) {
    Actor& actor = **m_entries[k].it;
    const Vector2& noted = m_proxies[k].position;
    return actor.m_transform.position.x == noted.x && actor.m_transform.position.y == noted.y &&
           actor.GetRadius() == m_entries[k].radius;
}

std::vector<Scene::Index>& Scene::Extra(Index i) {
    if (m_extra.size() <= i) m_extra.resize(i + 1);
    m_extraUsed = std::max<std::size_t>(m_extraUsed, i + 1);
    return m_extra[i];
}

// Actors appended by the last OnCollision calls: each becomes a candidate of
// the current actor and of every later one whose box it meets, after all of
// their earlier candidates, as the walk over every pair would meet it.
bool Scene::TakeAppended(Index current) {
    for (auto it = std::next(m_entries.back().it); it != m_actors.end(); ++it) {
        Entry entry;
        BroadPhase::Proxy proxy;
        if (!MakeEntry(it, entry, proxy) || MightMeetResting(**it)) return false;
        const auto added = static_cast<Index>(m_entries.size());
        for (Index k = current; k < added; ++k) {
            if (BroadPhase::BoxesMeet(m_proxies[k], proxy)) Extra(k).push_back(added);
        }
        m_entries.push_back(entry);
        m_proxies.push_back(proxy);
    }
    return true;
}

std::size_t Scene::FindEntry(const Actor* actor, std::size_t from) {
    std::size_t k = from;
    while (k < m_entries.size() && m_entries[k].it->get() != actor) ++k;
    return k;
}

bool Scene::StillExact(Index i, Index j) {
    if (m_restingWoke) return false;
    if (!Unchanged(i) || !Unchanged(j)) return false;
    // Actors handed out may have been moved; the ones before i are done with.
    if (m_allHandedOut) {
        for (Index k = i; k < m_entries.size(); ++k) {
            if (!Unchanged(k)) return false;
        }
    }
    for (const Actor* actor : m_handedOut) {
        const std::size_t k = FindEntry(actor, i);
        if (k < m_entries.size() && !Unchanged(static_cast<Index>(k))) return false;
    }
    if (m_actors.size() != m_entries.size()) return TakeAppended(i);
    return true;
}

void Scene::Collide(bool exact) {
    // Pairs with resting actors are unseen while nothing that would see them
    // reaches them; otherwise they all take part again.
    for (auto& actor : m_actors) {
        if (!MightMeetResting(*actor)) continue;
        WakeAll();
        exact = false;
        break;
    }
    if (m_actors.size() < 2) return;
    if (!exact) {
        CollideAllPairs(m_actors.begin(), std::next(m_actors.begin()));
        return;
    }
    // An actor handed out during pass 1 may have been changed after its note
    // was taken.
    if (m_allHandedOut) {
        for (std::size_t k = 0; k < m_entries.size(); ++k) {
            if (!MakeEntry(m_entries[k].it, m_entries[k], m_proxies[k])) exact = false;
        }
    }
    for (const Actor* actor : m_handedOut) {
        const std::size_t k = FindEntry(actor, 0);
        if (k < m_entries.size() && !MakeEntry(m_entries[k].it, m_entries[k], m_proxies[k])) {
            exact = false;
        }
    }
    if (!exact) {
        CollideAllPairs(m_actors.begin(), std::next(m_actors.begin()));
        return;
    }

    const std::vector<BroadPhase::CandidatePair>& pairs =
        m_broadPhase.FindCandidatePairs(m_proxies);
    for (std::size_t k = 0; k < m_extraUsed; ++k) m_extra[k].clear();
    m_extraUsed = 0;

    // Tells one candidate pair if it touches; false once the candidates can no
    // longer be trusted, after the plain walk has finished the pass from there.
    const auto visit = [this](Index i, Index j) {
        // The notes hold exactly what the actors hold until a collision call
        // runs, so the test can read them instead of the actors.
        const float distance = Vector2::Distance(m_proxies[i].position, m_proxies[j].position);
        if (!(m_entries[i].radius + m_entries[j].radius >= distance)) return true;
        Actor& first = **m_entries[i].it;
        Actor& second = **m_entries[j].it;
        m_handedOut.clear();
        m_allHandedOut = false;
        tell(first, second);
        if (StillExact(i, j)) return true;
        CollideAllPairs(m_entries[i].it, std::next(m_entries[j].it));
        return false;
    };

    // Sizes are re-read: the pass grows when OnCollision appends actors.
    std::size_t p = 0;
    for (Index i = 0; i < m_entries.size(); ++i) {
        for (; p < pairs.size() && pairs[p].first == i; ++p) {
            if (!visit(i, pairs[p].second)) return;
        }
        for (std::size_t k = 0; i < m_extraUsed && k < m_extra[i].size(); ++k) {
            if (!visit(i, m_extra[i][k])) return;
        }
    }
}

}  // namespace vexa
