#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <functional>
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
    // Each actor's place is noted right after its update, while it is at hand;
    // pass 2 starts from these notes.
    m_entries.clear();
    m_handedOut.clear();
    m_allHandedOut = false;
    bool exact = true;
    for (auto it = m_actors.begin(); it != m_actors.end();) {
        (*it)->Update(dt);
        if ((*it)->m_destroyed) {
            it = Erase(it);
            continue;
        }
        // Noted in place: an Entry copied whole from a temporary is read back
        // wider than its parts were written, which stalls every step.
        if (exact) exact = MakeEntry(it, m_entries.emplace_back());
        ++it;
    }
    Collide(exact);
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
    // Read into locals and written once: read back from the entry, the parts
    // of a wider store would stall.
    const float x = actor.m_transform.position.x;
    const float y = actor.m_transform.position.y;
    const float radius = actor.GetRadius();
    entry.it = it;
    entry.x = x;
    entry.y = y;
    entry.radius = radius;
    // Infinities and NaNs have no extent to sort by; such a scene takes the
    // plain walk.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return false;
    entry.extent = std::fabs(static_cast<double>(radius)) * (1.0 + kRelativeSlack) + kAbsoluteSlack;
    return true;
}

bool Scene::Unchanged(const Entry& entry) {
    Actor& actor = **entry.it;
    return actor.m_transform.position.x == entry.x && actor.m_transform.position.y == entry.y &&
           actor.GetRadius() == entry.radius;
}

namespace {

// Whether the boxes of two entries meet.
template <typename Entry>
bool boxesMeet(const Entry& a, const Entry& b) {
    const double reach = a.extent + b.extent;
    return std::fabs(static_cast<double>(a.x) - b.x) <= reach &&
           std::fabs(static_cast<double>(a.y) - b.y) <= reach;
}

// Insertion sort while the input is nearly in order; past a few moves per
// element it is not, and the rest is left to std::sort.
template <typename Key, typename Before>
void sortNearlySorted(std::vector<Key>& keys, Before before) {
    const std::size_t budget = 4 * keys.size() + 64;
    std::size_t moves = 0;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        const Key key = keys[i];
        std::size_t j = i;
        for (; j > 0 && before(key, keys[j - 1]); --j) keys[j] = keys[j - 1];
        keys[j] = key;
        moves += i - j;
        if (moves > budget) {
            std::sort(keys.begin(), keys.end(), before);
            return;
        }
    }
}

}  // namespace

// Sweeps the extents left to right; every pair whose boxes meet becomes a
// candidate (earlier index in the high half, so sorting gives list order).
void Scene::FindCandidates() {
    const auto count = static_cast<Index>(m_entries.size());
    // Actors are mostly added at the right edge and all drift left at one
    // speed, so the oldest, first in the list, are leftmost: the list is
    // nearly in order already.
    m_sweep.resize(count);
    for (Index i = 0; i < count; ++i) {
        m_sweep[i] = SweepKey{m_entries[i].x - m_entries[i].extent, i};
    }
    sortNearlySorted(m_sweep, [](const SweepKey& a, const SweepKey& b) { return a.low < b.low; });

    m_pairs.clear();
    m_open.clear();
    for (const SweepKey& key : m_sweep) {
        const Index s = key.index;
        const Entry& next = m_entries[s];
        for (std::size_t k = 0; k < m_open.size();) {
            const Index o = m_open[k];
            const Entry& open = m_entries[o];
            if (static_cast<double>(open.x) + open.extent < key.low) {
                m_open[k] = m_open.back();
                m_open.pop_back();
                continue;
            }
            if (std::fabs(static_cast<double>(open.y) - next.y) <= open.extent + next.extent) {
                const std::uint64_t first = std::min(s, o);
                const std::uint64_t second = std::max(s, o);
                m_pairs.push_back(first << 32 | second);
            }
            ++k;
        }
        m_open.push_back(s);
    }
    // Found in nearly list order too.
    sortNearlySorted(m_pairs, std::less<std::uint64_t>());
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
            if (boxesMeet(m_entries[k], entry)) Extra(k).push_back(added);
        }
        m_entries.push_back(entry);
    }
    return true;
}

Scene::Entry* Scene::FindEntry(const Actor* actor, std::size_t from) {
    for (std::size_t k = from; k < m_entries.size(); ++k) {
        if (m_entries[k].it->get() == actor) return &m_entries[k];
    }
    return nullptr;
}

bool Scene::StillExact(Index i, Index j) {
    if (!Unchanged(m_entries[i]) || !Unchanged(m_entries[j])) return false;
    // Actors handed out may have been moved; the ones before i are done with.
    if (m_allHandedOut) {
        for (std::size_t k = i; k < m_entries.size(); ++k) {
            if (!Unchanged(m_entries[k])) return false;
        }
    }
    for (const Actor* actor : m_handedOut) {
        const Entry* entry = FindEntry(actor, i);
        if (entry != nullptr && !Unchanged(*entry)) return false;
    }
    if (m_actors.size() != m_entries.size()) return TakeAppended(i);
    return true;
}

void Scene::Collide(bool exact) {
    if (m_actors.size() < 2) return;
    if (!exact) {
        CollideAllPairs(m_actors.begin(), std::next(m_actors.begin()));
        return;
    }
    // An actor handed out during pass 1 may have been changed after its note
    // was taken.
    if (m_allHandedOut) {
        for (Entry& entry : m_entries) {
            if (!MakeEntry(entry.it, entry)) exact = false;
        }
    }
    for (const Actor* actor : m_handedOut) {
        if (Entry* entry = FindEntry(actor, 0)) {
            if (!MakeEntry(entry->it, *entry)) exact = false;
        }
    }
    if (!exact) {
        CollideAllPairs(m_actors.begin(), std::next(m_actors.begin()));
        return;
    }

    FindCandidates();
    for (std::size_t k = 0; k < m_extraUsed; ++k) m_extra[k].clear();
    m_extraUsed = 0;

    // Tells one candidate pair if it touches; false once the candidates can no
    // longer be trusted, after the plain walk has finished the pass from there.
    const auto visit = [this](Index i, Index j) {
        // The notes hold exactly what the actors hold until a collision call
        // runs, so the test can read them instead of the actors.
        const Entry& a = m_entries[i];
        const Entry& b = m_entries[j];
        const float distance = Vector2::Distance(Vector2(a.x, a.y), Vector2(b.x, b.y));
        if (!(a.radius + b.radius >= distance)) return true;
        Actor& first = **a.it;
        Actor& second = **b.it;
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
        for (; p < m_pairs.size() && (m_pairs[p] >> 32) == i; ++p) {
            if (!visit(i, static_cast<Index>(m_pairs[p]))) return;
        }
        for (std::size_t k = 0; i < m_extraUsed && k < m_extra[i].size(); ++k) {
            if (!visit(i, m_extra[i][k])) return;
        }
    }
}

}  // namespace vexa
