#pragma once

// The game test fixture: the real game driven frame by frame through the
// frame loop, with a fixed frame time and the input seam.
#include "Enemy.h"
#include "Frame.h"
#include "K_AsteroidField.h"
#include "Player.h"

#include "CapturedStream.h"
#include "SoftwareCanvas.h"
#include "TempDir.h"

#include "core/Random.h"
#include "core/Time.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/ModelManager.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

using testing_support::CapturedStream;
using testing_support::ReadWhole;
using testing_support::ScopedWorkingDirectory;
using testing_support::SoftwareCanvas;
using testing_support::TempDir;

// The frame clock reads this instead of the steady clock, so every frame lasts
// exactly what the test says. One for every file of game tests, as the
// fixture is.
inline vexa::ManualClock g_clock;

// Drives the real game frame by frame with a fixed delta time and the input
// seam, drawing into a software renderer, in a directory with the game's assets.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(ZAP207_SOURCE_ASSETS, dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        dir.Write("highscore.txt", "0");
        cwd = std::make_unique<ScopedWorkingDirectory>(dir.Path());
        canvas = std::make_unique<SoftwareCanvas>();
        TTF_Init();
        vexa::seedRandom(207);
        vexa::g_time = vexa::Time(g_clock.Reader());
        for (auto& particle : vexa::g_particleSystem.m_particles) particle.m_isActive = false;
        game = std::make_unique<K_AsteroidField>();
        game->Initialize();
        runner = std::make_unique<FrameRunner>(*game);
    }

    void TearDown() override {
        runner.reset();
        game.reset();
        for (std::uint32_t key : {SDL_SCANCODE_SPACE, SDL_SCANCODE_W, SDL_SCANCODE_S}) {
            vexa::g_inputSystem.SetKeyDown(key, false);
        }
    }

    // One pass of the frame loop, with the keys the test holds.
    void Step(float dt) {
        g_clock.Advance(dt);
        runner->ReadDevices(false);
        runner->Run();
    }

    void Steps(int frames, float dt) {
        for (int i = 0; i < frames; ++i) Step(dt);
    }

    // One pass of the real frame loop: input comes from SDL (virtual
    // controllers, window events), as in the running game. False once the
    // program would end.
    bool Frame(float dt) {
        g_clock.Advance(dt);
        runner->ReadDevices(true);
        return runner->Run();
    }

    void Frames(int frames, float dt) {
        for (int i = 0; i < frames; ++i) Frame(dt);
    }

    void Hold(std::uint32_t key, bool down) { vexa::g_inputSystem.SetKeyDown(key, down); }

    // Space on the title screen, then the two one-frame states.
    void StartPlaying() {
        ASSERT_EQ(game->GetState(), K_AsteroidField::TitleScreen);
        Hold(SDL_SCANCODE_SPACE, true);
        Step(kFrame);
        Hold(SDL_SCANCODE_SPACE, false);
        Steps(2, kFrame);
        ASSERT_EQ(game->GetState(), K_AsteroidField::Playing);
    }

    Player* Ship() { return game->m_scene->GetActor<Player>(); }

    // White pixels of the last picture in a box: the game's own texts.
    int WhiteIn(int left, int top, int width, int height) const {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                count += canvas->Pixel(x, y) == testing_support::Rgba{255, 255, 255, 255};
        return count;
    }

    // An asteroid right on the ship, then the second of death.
    void CrashAndWaitForGameOver() {
        AddAsteroidAt(Ship()->m_transform.position);
        Steps(70, kFrame);
        ASSERT_EQ(game->GetState(), K_AsteroidField::GameOver);
    }

    void AddAsteroidAt(const vexa::Vector2& position) {
        const vexa::Transform transform(position, vexa::kHalfPi, 5.0f);
        auto asteroid = std::make_unique<Enemy>(800.0f, 0.0f, transform,
                                                vexa::g_modelManager.Get("asteroid.txt"));
        asteroid->m_tag = "Enemy";
        asteroid->m_game = game.get();
        game->m_scene->Add(std::move(asteroid));
    }

    static constexpr float kFrame = 1.0f / 60.0f;

    TempDir dir;
    std::unique_ptr<ScopedWorkingDirectory> cwd;
    std::unique_ptr<SoftwareCanvas> canvas;
    std::unique_ptr<K_AsteroidField> game;
    std::unique_ptr<FrameRunner> runner;
};
