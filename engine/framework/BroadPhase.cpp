#include "BroadPhase.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <limits>

namespace vexa {
namespace {

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

// One comparison for the order of candidate pairs.
std::uint64_t orderKey(const BroadPhase::CandidatePair& pair) {
    return static_cast<std::uint64_t>(pair.first) << 32 | pair.second;
}

}  // namespace

bool BroadPhase::BoxesMeet(const Proxy& a, const Proxy& b) {
    const double reach = a.extent + b.extent;
    return std::fabs(static_cast<double>(a.position.x) - b.position.x) <= reach &&
           std::fabs(static_cast<double>(a.position.y) - b.position.y) <= reach;
}

const std::vector<BroadPhase::CandidatePair>& BroadPhase::FindCandidatePairs(
    const std::vector<Proxy>& proxies) {
    assert(proxies.size() <= std::numeric_limits<Index>::max());
    const auto count = static_cast<Index>(proxies.size());
    m_sweep.resize(count);
    for (Index i = 0; i < count; ++i) {
        assert(std::isfinite(proxies[i].position.x) && std::isfinite(proxies[i].position.y) &&
               "a proxy without a finite place has no box to sweep");
        assert(std::isfinite(proxies[i].extent) && proxies[i].extent >= 0.0 &&
               "a proxy's extent is finite and not negative");
        m_sweep[i] = SweepKey{proxies[i].position.x - proxies[i].extent, i};
    }
    sortNearlySorted(m_sweep, [](const SweepKey& a, const SweepKey& b) { return a.low < b.low; });

    // Every box still open began at or before the current low edge, so it
    // meets the current box along x while its high edge reaches that far;
    // only the other axis is left to test.
    m_pairs.clear();
    m_open.clear();
    for (const SweepKey& key : m_sweep) {
        const Index s = key.index;
        const Proxy& next = proxies[s];
        for (std::size_t k = 0; k < m_open.size();) {
            const Index o = m_open[k];
            const Proxy& open = proxies[o];
            if (static_cast<double>(open.position.x) + open.extent < key.low) {
                m_open[k] = m_open.back();
                m_open.pop_back();
                continue;
            }
            if (std::fabs(static_cast<double>(open.position.y) - next.position.y) <=
                open.extent + next.extent) {
                m_pairs.push_back(CandidatePair{std::min(s, o), std::max(s, o)});
            }
            ++k;
        }
        m_open.push_back(s);
    }
    // Found in nearly index order too, when the sweep order was.
    sortNearlySorted(m_pairs, [](const CandidatePair& a, const CandidatePair& b) {
        return orderKey(a) < orderKey(b);
    });
    return m_pairs;
}

}  // namespace vexa
