#pragma once

// The scene after some minutes of play, made by running the game's spawning
// rules frame by frame rather than drawn by hand: a wave of five asteroids
// enters at x 800 every 4 s, a power-up every 32 s, each at a random height,
// and all of them drift left at 75 px/s.
#include "core/Random.h"
#include "core/Vector2.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

struct Arrival {
    vexa::Vector2 position;
    bool powerup = false;
};

constexpr float kFrame = 1.0f / 60.0f;
constexpr float kDrift = 75.0f;

// Everything that entered in `seconds` of play (stopping early once `limit`
// have entered), in the order it entered, where it stands at the end.
inline std::vector<Arrival> PlayFor(float seconds,
                                    std::size_t limit = static_cast<std::size_t>(-1)) {
    vexa::seedRandom(2026);
    std::vector<Arrival> arrivals;
    std::vector<float> entered;
    float spawnTimer = 0.0f;
    float powerupTimer = 32.0f;
    float now = 0.0f;
    for (; now < seconds && arrivals.size() < limit; now += kFrame) {
        spawnTimer += kFrame;
        powerupTimer -= kFrame;
        if (spawnTimer >= 4.0f) {
            spawnTimer = 0.0f;
            for (int i = 0; i < 5 && arrivals.size() < limit; ++i) {
                arrivals.push_back({vexa::Vector2(800.0f, vexa::randomf() * 600.0f), false});
                entered.push_back(now);
            }
        }
        if (powerupTimer <= 0.0f && arrivals.size() < limit) {
            arrivals.push_back({vexa::Vector2(800.0f, vexa::randomf() * 600.0f), true});
            entered.push_back(now);
            powerupTimer = 32.0f;
        }
    }
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        arrivals[i].position.x -= kDrift * (now - entered[i]);
    }
    return arrivals;
}

// The play time at which `count` actors have entered.
inline float SecondsFor(std::size_t count) {
    return static_cast<float>(count) * 4.0f / 5.0f + 8.0f;
}

// A height for the ship at x 100 that nothing touches now or in the next
// second of drift.
inline float ClearHeight(const std::vector<Arrival>& arrivals) {
    float best = 300.0f;
    float bestGap = -1.0f;
    for (float y = 30.0f; y <= 570.0f; y += 5.0f) {
        float gap = 1.0e9f;
        for (const Arrival& a : arrivals) {
            if (a.position.x < 40.0f || a.position.x > 100.0f + kDrift + 60.0f) continue;
            gap = std::min(gap, std::abs(a.position.y - y));
        }
        if (gap > bestGap) {
            bestGap = gap;
            best = y;
        }
    }
    return best;
}

}  // namespace bench
