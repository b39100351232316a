#pragma once

#include "core/Vector2.h"

#include <cstdint>
#include <vector>

namespace vexa {

// Sort-and-sweep broad phase over square boxes: each proxy stands for whatever
// lies within `extent` of its position on both axes. It reports the candidate
// pairs, the pairs whose boxes meet (touching counts), and nothing about the
// shapes inside; the caller runs its own exact test on them.
//
// The sweep axis is x. The proxies are sorted along it by the low edges of
// their boxes, starting from index order: cheap when index order is nearly x
// order already, as where the oldest objects have drifted furthest left.
class BroadPhase {
public:
    // Indices into the proxies passed in.
    using Index = std::uint32_t;

    // Extents must be finite and not negative; positions finite.
    struct Proxy {
        Vector2 position;
        double extent;
    };

    // first < second.
    struct CandidatePair {
        Index first;
        Index second;
    };

    // The candidate pairs among `proxies`, each once, ordered by first index
    // and then by second. Valid until the next call.
    const std::vector<CandidatePair>& FindCandidatePairs(const std::vector<Proxy>& proxies);

    // The test the sweep applies, for a proxy that joins after the sweep.
    static bool BoxesMeet(const Proxy& a, const Proxy& b);

private:
    struct SweepKey {
        double low;
        Index index;
    };

    // Scratch kept between calls to avoid reallocating.
    std::vector<SweepKey> m_sweep;
    // Proxies the sweep has passed whose boxes may still reach later ones.
    std::vector<Index> m_open;
    std::vector<CandidatePair> m_pairs;
};

}  // namespace vexa
