#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <iterator>

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

}  // namespace

void Scene::Add(std::unique_ptr<Actor> actor) {
    actor->m_scene = this;
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
    for (auto it = m_actors.begin(); it != m_actors.end();) {
        (*it)->Update(dt);
        it = (*it)->m_destroyed ? Erase(it) : std::next(it);
    }
    Collide();
}

void Scene::Draw(Renderer& renderer) {
    for (auto& actor : m_actors) actor->Draw(renderer);
}

void Scene::RemoveAll() {
    m_actors.clear();
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
    lookup.current = true;
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
    while (a != m_actors.end()) {
        for (; b != m_actors.end(); ++b) {
            if (touching(**a, **b)) tell(**a, **b);
        }
        ++a;
        if (a != m_actors.end()) b = std::next(a);
    }
}

bool Scene::MakeEntry(ActorList::iterator it, Entry& entry) {
    Actor& actor = **it;
    entry.it = it;
    entry.x = actor.m_transform.position.x;
    entry.y = actor.m_transform.position.y;
    entry.radius = actor.GetRadius();
    // Infinities and NaNs have no extent to sort by; such a scene takes the
    // plain walk.
    if (!std::isfinite(entry.x) || !std::isfinite(entry.y) || !std::isfinite(entry.radius)) {
        return false;
    }
    const double extent =
        std::fabs(static_cast<double>(entry.radius)) * (1.0 + kRelativeSlack) + kAbsoluteSlack;
    entry.lowX = entry.x - extent;
    entry.highX = entry.x + extent;
    entry.lowY = entry.y - extent;
    entry.highY = entry.y + extent;
    return true;
}

bool Scene::Unchanged(const Entry& entry) {
    Actor& actor = **entry.it;
    return actor.m_transform.position.x == entry.x && actor.m_transform.position.y == entry.y &&
           actor.GetRadius() == entry.radius;
}

namespace {

bool overlap(double lowA, double highA, double lowB, double highB) {
    return lowA <= highB && lowB <= highA;
}

}  // namespace

// Sweeps the extents left to right; every pair whose boxes meet becomes a
// candidate (earlier index in the high half, so sorting gives list order).
void Scene::FindCandidates() {
    const auto count = static_cast<Index>(m_entries.size());
    m_order.resize(count);
    for (Index i = 0; i < count; ++i) m_order[i] = i;
    std::sort(m_order.begin(), m_order.end(), [this](Index a, Index b) {
        return m_entries[a].lowX < m_entries[b].lowX;
    });

    m_pairs.clear();
    m_active.clear();
    for (const Index s : m_order) {
        const Entry& next = m_entries[s];
        for (std::size_t k = 0; k < m_active.size();) {
            const Index t = m_active[k];
            const Entry& open = m_entries[t];
            if (open.highX < next.lowX) {
                m_active[k] = m_active.back();
                m_active.pop_back();
                continue;
            }
            if (overlap(open.lowY, open.highY, next.lowY, next.highY)) {
                const std::uint64_t first = std::min(s, t);
                const std::uint64_t second = std::max(s, t);
                m_pairs.push_back(first << 32 | second);
            }
            ++k;
        }
        m_active.push_back(s);
    }
    std::sort(m_pairs.begin(), m_pairs.end());
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
        if (!MakeEntry(it, entry)) return false;
        const auto added = static_cast<Index>(m_entries.size());
        for (Index k = current; k < added; ++k) {
            const Entry& other = m_entries[k];
            if (overlap(other.lowX, other.highX, entry.lowX, entry.highX) &&
                overlap(other.lowY, other.highY, entry.lowY, entry.highY)) {
                Extra(k).push_back(added);
            }
        }
        m_entries.push_back(entry);
    }
    return true;
}

bool Scene::StillExact(Index i, Index j) {
    if (!Unchanged(m_entries[i]) || !Unchanged(m_entries[j])) return false;
    // Actors handed out may have been moved; the ones before i are done with.
    if (m_actorsHandedOut) {
        for (std::size_t k = i; k < m_entries.size(); ++k) {
            if (!Unchanged(m_entries[k])) return false;
        }
    }
    if (m_actors.size() != m_entries.size()) return TakeAppended(i);
    return true;
}

void Scene::Collide() {
    if (m_actors.size() < 2) return;

    m_entries.clear();
    for (auto it = m_actors.begin(); it != m_actors.end(); ++it) {
        Entry entry;
        if (!MakeEntry(it, entry)) {
            CollideAllPairs(m_actors.begin(), std::next(m_actors.begin()));
            return;
        }
        m_entries.push_back(entry);
    }
    FindCandidates();
    for (std::size_t k = 0; k < m_extraUsed; ++k) m_extra[k].clear();
    m_extraUsed = 0;

    // Tells one candidate pair if it touches; false once the candidates can no
    // longer be trusted, after the plain walk has finished the pass from there.
    const auto visit = [this](Index i, Index j) {
        Actor& first = **m_entries[i].it;
        Actor& second = **m_entries[j].it;
        if (!touching(first, second)) return true;
        m_actorsHandedOut = false;
        tell(first, second);
        if (StillExact(i, j)) return true;
        CollideAllPairs(m_entries[i].it, std::next(m_entries[j].it));
        return false;
    };

    // Sizes are re-read: the pass grows when OnCollision appends actors.
    std::size_t p = 0;
    for (Index i = 0; i < m_entries.size(); ++i) {
        for (; p < m_pairs.size() && (m_pairs[p] >> 32) == i; ++p) {
            if (!visit(i, static_cast<Index>(m_pairs[p]))) return;
        }
        for (std::size_t k = 0; i < m_extraUsed && k < m_extra[i].size(); ++k) {
            if (!visit(i, m_extra[i][k])) return;
        }
    }
}

}  // namespace vexa
