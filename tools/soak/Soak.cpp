// Plays the real game headless for a simulated time at 60 frames a second with
// random W, S and Space, on a fed clock, and prints once a simulated minute
// what could leak: actors, live particles, textures, SDL's outstanding
// allocations, open files and resident memory. Asteroids are listed apart:
// the rules keep every one of them until the game ends.
//   soak [MINUTES] [SEED]          (default: 60 minutes, seed 207)
// Exit status 1 when open files or textures grew after the first minute.
//   soak field                     the memory of a run's scene at 0, 30, 60 minutes
// The field: one second of play in the scene the game's rules make after each
// of those minutes (bench/PlayLayout.h), then its actors, how many of them
// rest, and resident memory, with the growth per actor added.
#include "PlayLayout.h"

#include "Enemy.h"
#include "Frame.h"
#include "K_AsteroidField.h"
#include "Player.h"

#include "audio/AudioSystem.h"
#include "core/Random.h"
#include "core/Time.h"
#include "framework/Application.h"
#include "framework/Scene.h"
#include "input/InputSystem.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

vexa::ManualClock g_clock;

long g_liveTextures = 0;

}  // namespace

#if defined(SOAK_COUNTS_TEXTURES)
extern "C" {
SDL_Texture* __real_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface);
void __real_SDL_DestroyTexture(SDL_Texture* texture);

SDL_Texture* __wrap_SDL_CreateTextureFromSurface(SDL_Renderer* renderer, SDL_Surface* surface) {
    SDL_Texture* texture = __real_SDL_CreateTextureFromSurface(renderer, surface);
    if (texture != nullptr) ++g_liveTextures;
    return texture;
}

void __wrap_SDL_DestroyTexture(SDL_Texture* texture) {
    if (texture != nullptr) --g_liveTextures;
    __real_SDL_DestroyTexture(texture);
}
}
#endif

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kFramesPerMinute = 60 * kFramesPerSecond;

struct Sample {
    long actors = 0;
    long asteroids = 0;
    long particles = 0;
    long textures = 0;
    long sdlAllocations = 0;
    long openFiles = 0;
    double residentMb = 0.0;
};

long openFiles() {
    long count = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end;
         it.increment(ec)) {
        ++count;
    }
    return count - 1;  // the iterator's own descriptor
}

double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

Sample countActors(K_AsteroidField& game) {
    Sample sample;
    sample.actors = static_cast<long>(game.m_scene->Count());
    game.m_scene->ForEach([&sample](vexa::Actor& actor) {
        if (dynamic_cast<Enemy*>(&actor) != nullptr) ++sample.asteroids;
    });
    for (const auto& particle : vexa::g_particleSystem.m_particles) {
        if (particle.m_isActive) ++sample.particles;
    }
    return sample;
}

Sample take(K_AsteroidField& game) {
    Sample sample = countActors(game);
    sample.textures = g_liveTextures;
    sample.sdlAllocations = SDL_GetNumAllocations();
    sample.openFiles = openFiles();
    sample.residentMb = residentMb();
    return sample;
}

// A player who holds W or S for a while, lets go, and presses Space now and
// then: enough to start games, die, and return to the title. Every other game
// it also steers away from the nearest asteroid ahead, so some games last long
// enough for power-ups and a crowded field.
class RandomPlayer {
public:
    explicit RandomPlayer(unsigned seed) : m_random{seed} {}

    void NewGame() { m_dodging = chance(1, 2); }

    void Press(vexa::Scene& scene) {
        if (m_held == 0 && chance(1, 20)) {
            m_key = chance(1, 2) ? SDL_SCANCODE_W : SDL_SCANCODE_S;
            m_held = std::uniform_int_distribution<int>(5, 90)(m_random);
        }
        SDL_Scancode key = m_held > 0 ? m_key : SDL_SCANCODE_UNKNOWN;
        if (m_held > 0) --m_held;
        if (m_dodging) {
            const SDL_Scancode away = awayFromDanger(scene);
            if (away != SDL_SCANCODE_UNKNOWN) key = away;
        }
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_W, key == SDL_SCANCODE_W);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_S, key == SDL_SCANCODE_S);
        vexa::g_inputSystem.SetKeyDown(SDL_SCANCODE_SPACE, chance(1, 240));
    }

private:
    bool chance(int in, int outOf) {
        return std::uniform_int_distribution<int>(1, outOf)(m_random) <= in;
    }

    // W or S away from the closest asteroid about to reach the ship, or
    // nothing when none is near; the window's edges turn it back.
    static SDL_Scancode awayFromDanger(vexa::Scene& scene) {
        const Player* ship = scene.GetActor<Player>();
        if (ship == nullptr) return SDL_SCANCODE_UNKNOWN;
        const vexa::Vector2 at = ship->m_transform.position;
        float closest = 1e9f;
        float threatY = 0.0f;
        scene.ForEach([&](vexa::Actor& actor) {
            if (dynamic_cast<Enemy*>(&actor) == nullptr) return;
            const vexa::Vector2 d = actor.m_transform.position - at;
            if (d.x < -40.0f || d.x > 260.0f || d.y > 110.0f || d.y < -110.0f) return;
            if (d.x < closest) {
                closest = d.x;
                threatY = d.y;
            }
        });
        if (closest == 1e9f) return SDL_SCANCODE_UNKNOWN;
        if (at.y < 80.0f) return SDL_SCANCODE_S;
        if (at.y > 520.0f) return SDL_SCANCODE_W;
        return threatY > 0.0f ? SDL_SCANCODE_W : SDL_SCANCODE_S;
    }

    std::mt19937 m_random;
    SDL_Scancode m_key = SDL_SCANCODE_W;
    int m_held = 0;
    bool m_dodging = false;
};

// The game's files in a scratch directory, so its record is not the player's.
std::filesystem::path copyAssets() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zap207-soak-" + std::to_string(static_cast<long>(getpid())));
    std::filesystem::remove_all(dir);
    std::filesystem::copy(ZAP207_SOURCE_ASSETS, dir, std::filesystem::copy_options::recursive);
    std::ofstream(dir / "highscore.txt") << "0";
    return dir;
}

// Asteroids and particles come and go within a minute, so their peaks are shown.
void printRow(int minute, const char* state, int games, float longestGame, const Sample& s,
              const Sample& peak) {
    std::printf("%6d  %-9s %5d %7.0f %6ld %9ld %9ld %8ld %10ld %5ld %7.1f\n", minute, state, games,
                longestGame, s.actors, peak.asteroids, peak.particles, s.textures, s.sdlAllocations,
                s.openFiles, s.residentMb);
    std::fflush(stdout);
}

const char* stateName(K_AsteroidField::eState state) {
    switch (state) {
    case K_AsteroidField::TitleScreen:
        return "title";
    case K_AsteroidField::StartGame:
    case K_AsteroidField::StartLevel:
    case K_AsteroidField::Playing:
        return "playing";
    case K_AsteroidField::PlayerDeadStart:
    case K_AsteroidField::PlayerDead:
        return "dying";
    case K_AsteroidField::GameOver:
        return "game over";
    }
    return "?";
}

void advanceClock() {
    g_clock.Advance(1.0 / kFramesPerSecond);
}

// The scenes of ever longer runs, one after another in the same game, so
// that each measure holds the largest scene yet.
int field(K_AsteroidField& game, FrameRunner& runner) {
    std::printf("minute  actors resting  rss_mb  kb_per_added_actor\n");
    double firstMb = 0.0;
    long firstActors = 0;
    for (const int minute : {0, 30, 60}) {
        game.SetState(K_AsteroidField::StartGame);
        for (int frame = 0; frame < 2; ++frame) {
            advanceClock();
            runner.Run();
        }
        bench::AddField(game, bench::kFirstWavesAcross + static_cast<float>(minute) * 60.0f);
        for (int frame = 0; frame < kFramesPerSecond; ++frame) {
            advanceClock();
            runner.Run();
        }
        if (game.GetState() != K_AsteroidField::Playing) {
            std::fprintf(stderr, "the ship was hit in the %d-minute scene\n", minute);
            return 1;
        }
        const auto actors = static_cast<long>(game.m_scene->Count());
        const double mb = residentMb();
        if (minute == 0) {
            firstMb = mb;
            firstActors = actors;
        }
        const long added = actors - firstActors;
        std::printf("%6d %7ld %7zu %7.1f", minute, actors, game.m_scene->CountResting(), mb);
        if (added > 0) std::printf("  %.2f", (mb - firstMb) * 1024.0 / static_cast<double>(added));
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool fieldOnly = argc > 1 && std::string(argv[1]) == "field";
    const int minutes = argc > 1 && !fieldOnly ? std::atoi(argv[1]) : 60;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 207u;

    // The game's own console lines (a record saved) would break up the table.
    std::cout.rdbuf(nullptr);

    const auto dir = copyAssets();
    std::filesystem::current_path(dir);
    vexa::seedRandom(seed);
    vexa::g_time = vexa::Time(g_clock.Reader());

    std::string reason;
    if (!vexa::PrepareHeadless(800, 600, reason)) {
        std::fprintf(stderr, "soak: SDL cannot run: %s\n", reason.c_str());
        return 2;
    }

    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    RandomPlayer player{seed};
    FrameRunner::Options options;
    options.readDevices = false;
    FrameRunner runner(*game, options);
    if (fieldOnly) return field(*game, runner);

    std::printf(
        "minute  state     games longest actors asteroids particles textures "
        "sdl_allocs files  rss_mb\n");
    std::printf("                          game_s         (peak)    (peak)\n");
    Sample first;
    Sample last;
    Sample peak;
    int games = 0;
    float gameSeconds = 0.0f;
    float longestGame = 0.0f;
    K_AsteroidField::eState previous = game->GetState();
    const auto started = Clock::now();
    for (int frame = 1; frame <= minutes * kFramesPerMinute; ++frame) {
        // One pass of the game's frame loop, with keys from the random player.
        advanceClock();
        player.Press(*game->m_scene);
        runner.Run();

        const auto state = game->GetState();
        if (state == K_AsteroidField::StartGame && previous != state) {
            ++games;
            gameSeconds = 0.0f;
            player.NewGame();
        }
        if (state == K_AsteroidField::Playing) {
            gameSeconds += vexa::g_time.GetDeltaTime();
            longestGame = std::max(longestGame, gameSeconds);
        }
        previous = state;
        const Sample now = countActors(*game);
        peak.asteroids = std::max(peak.asteroids, now.asteroids);
        peak.particles = std::max(peak.particles, now.particles);
        if (frame % kFramesPerMinute == 0) {
            last = take(*game);
            if (frame == kFramesPerMinute) first = last;
            printRow(frame / kFramesPerMinute, stateName(state), games, longestGame, last, peak);
            peak = Sample{};
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

    game.reset();
    std::error_code ignored;
    std::filesystem::current_path(dir.parent_path(), ignored);
    std::filesystem::remove_all(dir, ignored);

    std::printf("%d simulated minutes (%d frames) in %.0f s; %d games, the longest %.0f s\n",
                minutes, minutes * kFramesPerMinute, seconds, games, longestGame);
    std::printf(
        "after minute 1: open files %+ld, textures %+ld, SDL allocations %+ld, "
        "resident %+.1f MB\n",
        last.openFiles - first.openFiles, last.textures - first.textures,
        last.sdlAllocations - first.sdlAllocations, last.residentMb - first.residentMb);
    return (last.openFiles > first.openFiles || last.textures > first.textures) ? 1 : 0;
}
