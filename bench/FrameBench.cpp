// Whole frames of the real game, drawn into SDL's software renderer, after 0,
// 30 and 60 minutes of play, with the ship alive and in the second after it
// burst; and the floor: a bare SDL loop drawing the title picture, next to the
// game showing its title screen. Each iteration is one second of frames.
#include "PlayLayout.h"

#include "Enemy.h"
#include "Frame.h"
#include "K_AsteroidField.h"
#include "Player.h"
#include "Powerup.h"

#include "audio/AudioSystem.h"
#include "core/File.h"
#include "core/Time.h"
#include "framework/Application.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/ModelManager.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFramesPerIteration = 60;

// The frame clock reads this, so every frame lasts exactly what the
// benchmark says: 1/60 s unless it says otherwise.
vexa::ManualClock g_clock;

void Tick(double seconds = bench::kFrame) {
    g_clock.Advance(seconds);
}

// The game's picture, drawn in memory by SDL's software renderer.
SDL_Renderer* TheCanvas() {
    static SDL_Renderer* const canvas = [] {
        std::string reason;
        vexa::PrepareHeadless(800, 600, reason);
        return vexa::g_renderer.GetSDLRenderer();
    }();
    return canvas;
}

// The game's assets, copied to a directory of their own so the record in the
// source tree is never touched.
void EnterAssets() {
    static const bool entered = [] {
        const auto dir = std::filesystem::temp_directory_path() / "zap207-bench-assets";
        std::filesystem::remove_all(dir);
        std::filesystem::copy(ZAP207_SOURCE_ASSETS, dir, std::filesystem::copy_options::recursive);
        return vexa::SetFilePath(dir);
    }();
    (void)entered;
}

void Frame(K_AsteroidField& game, double seconds = bench::kFrame) {
    Tick(seconds);
    FrameRunner(game).Run();
}

std::unique_ptr<K_AsteroidField> NewGame() {
    TheCanvas();
    EnterAssets();
    vexa::g_time = vexa::Time(g_clock.Reader());
    for (auto& particle : vexa::g_particleSystem.m_particles) particle.m_isActive = false;
    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    return game;
}

// The scene after `minutes` of play: the ship at x 100 clear of every rock,
// or, when `hit`, on top of one so that the next frame bursts it.
void Arrange(K_AsteroidField& game, int minutes, bool hit) {
    for (auto& particle : vexa::g_particleSystem.m_particles) particle.m_isActive = false;
    game.SetState(K_AsteroidField::StartGame);
    Frame(game);
    Frame(game);
    bench::AddField(game, bench::kFirstWavesAcross + static_cast<float>(minutes) * 60.0f);
    // In play each of them came to rest as it crossed the left edge, not all
    // in one frame.
    Frame(game);
    if (hit) {
        const Player* ship = game.m_scene->GetActor<Player>();
        auto rock = std::make_unique<Enemy>(
            800.0f, 0.0f, vexa::Transform(ship->m_transform.position, vexa::kHalfPi, 5.0f),
            vexa::g_modelManager.Get("asteroid.txt"));
        rock->m_tag = "Enemy";
        rock->m_game = &game;
        game.m_scene->Add(std::move(rock));
    }
}

void PerFrame(benchmark::State& state) {
    state.counters["per_frame"] =
        benchmark::Counter(kFramesPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}

// Argument: minutes of play. One second of play from that scene.
void PlayingFrame(benchmark::State& state) {
    auto game = NewGame();
    for (auto _ : state) {
        state.PauseTiming();
        Arrange(*game, static_cast<int>(state.range(0)), false);
        state.ResumeTiming();
        for (int i = 0; i < kFramesPerIteration; ++i) Frame(*game);
    }
    if (game->GetState() != K_AsteroidField::Playing) state.SkipWithError("the ship was hit");
    state.counters["actors"] = static_cast<double>(game->m_scene->Count());
    PerFrame(state);
}
BENCHMARK(PlayingFrame)
    ->ArgName("minutes")
    ->Arg(0)
    ->Arg(30)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

// Argument: the display's rate in Hz. One second of play at the start of a
// run, drawn at that rate: the CPU a second of play costs on a fast display.
void PlayingSecondAtRate(benchmark::State& state) {
    auto game = NewGame();
    const auto hertz = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Arrange(*game, 0, false);
        state.ResumeTiming();
        for (int i = 0; i < hertz; ++i) Frame(*game, 1.0 / hertz);
    }
    if (game->GetState() != K_AsteroidField::Playing) state.SkipWithError("the ship was hit");
    state.counters["per_second"] = benchmark::Counter(
        1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(PlayingSecondAtRate)->ArgName("hz")->Arg(60)->Arg(144)->Unit(benchmark::kMillisecond);

// Argument: minutes of play. The frame the ship bursts and the second after it,
// up to the frame before the scene is emptied.
void DeathSecondFrame(benchmark::State& state) {
    auto game = NewGame();
    for (auto _ : state) {
        state.PauseTiming();
        Arrange(*game, static_cast<int>(state.range(0)), true);
        state.ResumeTiming();
        for (int i = 0; i < kFramesPerIteration - 1; ++i) Frame(*game);
    }
    if (game->GetState() != K_AsteroidField::PlayerDead)
        state.SkipWithError("not in the death second");
    state.counters["per_frame"] =
        benchmark::Counter(kFramesPerIteration - 1, benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(DeathSecondFrame)
    ->ArgName("minutes")
    ->Arg(0)
    ->Arg(30)
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

// The game on its title screen.
void TitleFrame(benchmark::State& state) {
    auto game = NewGame();
    for (auto _ : state) {
        for (int i = 0; i < kFramesPerIteration; ++i) Frame(*game);
    }
    PerFrame(state);
}
BENCHMARK(TitleFrame)->Unit(benchmark::kMillisecond);

// The floor: the same title picture from bare SDL calls, with the textures
// made once, one event polled per frame as the game does.
void BareTitleFrame(benchmark::State& state) {
    SDL_Renderer* const canvas = TheCanvas();
    EnterAssets();
    TTF_Font* font = TTF_OpenFont("font.ttf", 28);
    const SDL_Color white{255, 255, 255, 255};
    struct Caption {
        const char* text;
        int x;
        int y;
        SDL_Texture* texture;
    };
    Caption captions[] = {{"KELD ASTEROID FIELD", 225, 250, nullptr},
                          {"PRESS SPACE TO PLAY", 225, 275, nullptr},
                          {"0", 10, 10, nullptr},
                          {"HIGH SCORE 0", 525, 10, nullptr}};
    for (Caption& caption : captions) {
        SDL_Surface* surface = TTF_RenderText_Solid(font, caption.text, white);
        caption.texture = SDL_CreateTextureFromSurface(canvas, surface);
        SDL_FreeSurface(surface);
    }
    // The game's own star field: where the points land in the frame decides
    // what writing them costs, so the floor draws the very same ones.
    std::vector<K_AsteroidField::Star> stars = NewGame()->GetStars();
    for (auto _ : state) {
        for (int i = 0; i < kFramesPerIteration; ++i) {
            SDL_Event event;
            SDL_PollEvent(&event);
            SDL_SetRenderDrawColor(canvas, 0, 0, 0, 255);
            SDL_RenderClear(canvas);
            for (const Caption& caption : captions) {
                int w = 0;
                int h = 0;
                SDL_QueryTexture(caption.texture, nullptr, nullptr, &w, &h);
                const SDL_Rect destination{caption.x, caption.y, w, h};
                SDL_RenderCopy(canvas, caption.texture, nullptr, &destination);
            }
            for (auto& star : stars) {
                star.position.x += star.velocity.x;
                if (star.position.x >= 800.0f) star.position.x = 0.0f;
                SDL_RenderDrawPointF(canvas, star.position.x, star.position.y);
            }
            SDL_RenderPresent(canvas);
        }
    }
    for (Caption& caption : captions) SDL_DestroyTexture(caption.texture);
    TTF_CloseFont(font);
    PerFrame(state);
}
BENCHMARK(BareTitleFrame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Headless, and silent: a sound thread would only add noise.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "none", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
