#pragma once

// The scene after some minutes of play, made by running the game's spawning
// rules frame by frame rather than drawn by hand: a wave of five asteroids
// enters at x 800 every 4 s, a power-up every 32 s, each at a random height,
// and all of them drift left at 75 px/s.
#include "Enemy.h"
#include "K_AsteroidField.h"
#include "Player.h"
#include "Powerup.h"

#include "core/Random.h"
#include "core/Vector2.h"
#include "framework/Scene.h"
#include "renderer/ModelManager.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace bench {

struct Arrival {
    vexa::Vector2 position;
    bool powerup = false;
};

constexpr float kFrame = 1.0f / 60.0f;
constexpr float kDrift = 75.0f;
// Minutes of play are counted from the moment the first wave has crossed the
// window, so that every scene shows what play shows: the ship among a few
// waves. What is left to grow with the minutes is what nobody sees.
constexpr float kFirstWavesAcross = 12.0f;

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

// Puts the game's scene where `seconds` of play would have it: every arrival
// added as the game adds it, and its ship at x 100 moved clear of them all.
inline void AddField(K_AsteroidField& game, float seconds) {
    const auto arrivals = PlayFor(seconds);
    if (Player* ship = game.m_scene->GetActor<Player>()) {
        ship->m_transform.position.y = ClearHeight(arrivals);
    }
    for (const Arrival& a : arrivals) {
        const vexa::Transform transform(a.position, vexa::kHalfPi, 5.0f);
        std::unique_ptr<vexa::Actor> actor;
        if (a.powerup) {
            actor =
                std::make_unique<Powerup>(0.0f, transform, vexa::g_modelManager.Get("powerup.txt"));
            actor->m_tag = "Powerup";
        } else {
            actor = std::make_unique<Enemy>(800.0f, 0.0f, transform,
                                            vexa::g_modelManager.Get("asteroid.txt"));
            actor->m_tag = "Enemy";
        }
        actor->m_game = &game;
        game.m_scene->Add(std::move(actor));
    }
}

}  // namespace bench
