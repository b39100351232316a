// The game played for a simulated hour with the scene's resting actors and
// again with every actor updated at every step: the same inputs must meet the
// same collisions at the same steps, and the same score and state digest at
// every minute.
#include "Enemy.h"
#include "Frame.h"
#include "K_AsteroidField.h"
#include "Player.h"

#include "SoftwareCanvas.h"
#include "TempDir.h"

#include "core/Random.h"
#include "core/Time.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/ParticleSystem.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

using testing_support::ScopedWorkingDirectory;
using testing_support::SoftwareCanvas;
using testing_support::TempDir;

namespace {

vexa::ManualClock g_clock;

constexpr int kStepsPerMinute = 60 * 60;

// What one run of the hour saw: at every step the state, whether a power-up
// pays, and the score; at every minute the digest of the whole game.
struct Record {
    std::vector<std::uint32_t> steps;
    std::vector<std::uint64_t> digests;
    std::size_t mostResting = 0;
    int longestGameSteps = 0;
};

// Keeps the ship clear of the asteroids coming at it, choosing a height every
// few steps, and starts a new game whenever one ends: some games last
// minutes, so thousands of asteroids pile up past the left edge.
std::uint8_t Pilot(K_AsteroidField& game, int step, std::uint8_t held) {
    if (game.GetState() != K_AsteroidField::Playing) return step % 30 == 0 ? 4 : 0;
    if (step % 5 != 0) return held;
    const Player* ship = game.m_scene->GetActor<Player>();
    if (ship == nullptr) return 0;
    const vexa::Vector2 at = ship->m_transform.position;
    std::vector<vexa::Vector2> threats;
    game.m_scene->ForEach([&](vexa::Actor& actor) {
        if (dynamic_cast<Enemy*>(&actor) == nullptr) return;
        const vexa::Vector2 d = actor.m_transform.position - at;
        if (d.x > -45.0f && d.x < 400.0f) threats.push_back(d);
    });
    float best = 0.0f;
    float bestCost = 1e9f;
    for (float y = 30.0f - at.y; y <= 570.0f - at.y; y += 6.0f) {
        float cost = 0.02f * std::fabs(y);
        for (const vexa::Vector2& d : threats) {
            // Only heights the ship can reach before the asteroid does count.
            const float arrives = std::max(d.x - 45.0f, 0.0f) / 75.0f;
            const float gap = std::fabs(d.y - y) - 45.0f;
            if (gap < 40.0f) cost += (40.0f - gap) * (1.0f - d.x / 450.0f);
            if (std::fabs(y) > 200.0f * arrives && std::fabs(d.y - 0.5f * y) < 45.0f) cost += 50.0f;
        }
        if (cost < bestCost) {
            bestCost = cost;
            best = y;
        }
    }
    return best < -3.0f ? 1 : best > 3.0f ? 2 : 0;
}

// Flown by the pilot when `inputs` is empty, which then records its inputs;
// otherwise the given inputs are played, with no look at the scene between
// the minutes.
Record PlayAnHour(std::uint32_t seed, bool resting, int minutes,
                  std::vector<std::uint8_t>& inputs) {
    TempDir dir;
    std::filesystem::copy(ZAP207_SOURCE_ASSETS, dir.Path(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    dir.Write("highscore.txt", "0");
    ScopedWorkingDirectory cwd(dir.Path());
    SoftwareCanvas canvas;
    TTF_Init();
    vexa::seedRandom(seed);
    vexa::g_time = vexa::Time(g_clock.Reader());
    for (auto& particle : vexa::g_particleSystem.m_particles) particle.m_isActive = false;
    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    game->m_scene->AllowResting(resting);

    FrameRunner::Options options;
    options.readDevices = false;
    options.draw = false;
    FrameRunner runner(*game, options);
    Record record;
    std::uint8_t held = 0;
    int gameSteps = 0;
    const bool piloted = inputs.empty();
    for (int step = 1; step <= minutes * kStepsPerMinute; ++step) {
        if (piloted) {
            held = Pilot(*game, step, held);
            inputs.push_back(held);
        } else {
            held = inputs[static_cast<std::size_t>(step - 1)];
        }
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_W, (held & 1) != 0);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_S, (held & 2) != 0);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_SPACE, (held & 4) != 0);
        g_clock.Advance(1.0 / 60);
        runner.Run();

        const auto state = static_cast<std::uint32_t>(game->GetState());
        record.steps.push_back(state | (game->m_powerupActive ? 8u : 0u) |
                               static_cast<std::uint32_t>(game->m_score) << 4);
        gameSteps = game->GetState() == K_AsteroidField::Playing ? gameSteps + 1 : 0;
        record.longestGameSteps = std::max(record.longestGameSteps, gameSteps);
        record.mostResting = std::max(record.mostResting, game->m_scene->CountResting());
        if (step % kStepsPerMinute == 0) record.digests.push_back(game->StateDigest());
    }
    for (std::uint32_t key : {SDL_SCANCODE_SPACE, SDL_SCANCODE_W, SDL_SCANCODE_S}) {
        vexa::g_inputSystem.SetKeyDown(key, false);
    }
    return record;
}

}  // namespace

TEST(RestingPlay, AnHourPlaysAlikeWithAndWithoutRestingActors) {
    const int minutes = 60;
    const std::uint32_t seed = 2026;
    std::vector<std::uint8_t> inputs;
    const Record plain = PlayAnHour(seed, false, minutes, inputs);
    std::vector<std::uint8_t> unused;
    // Looked at every few steps by the pilot, and looked at only once a minute.
    const Record runs[] = {PlayAnHour(seed, true, minutes, unused),
                           PlayAnHour(seed, true, minutes, inputs)};
    for (const Record& resting : runs) {
        ASSERT_EQ(resting.steps.size(), plain.steps.size());
        for (std::size_t i = 0; i < plain.steps.size(); ++i) {
            // State, power-up and score: the ship's collisions and what they led to.
            ASSERT_EQ(resting.steps[i], plain.steps[i]) << "step " << i + 1;
        }
        ASSERT_EQ(resting.digests.size(), static_cast<std::size_t>(minutes));
        for (std::size_t minute = 0; minute < plain.digests.size(); ++minute) {
            EXPECT_EQ(resting.digests[minute], plain.digests[minute]) << "minute " << minute + 1;
        }
        // The hour meant something: long games, with the field past the edge at rest.
        EXPECT_GT(resting.longestGameSteps, 3 * kStepsPerMinute);
        EXPECT_GT(resting.mostResting, 300u);
    }
    EXPECT_EQ(plain.mostResting, 0u);
}
