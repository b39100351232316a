#include "Verify.h"

#include "Frame.h"
#include "K_AsteroidField.h"

#include "core/File.h"
#include "core/Replay.h"
#include "core/Time.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

namespace {

using Clock = vexa::Time::Clock;

// The clock of a verification: each frame lasts exactly one step.
Clock::time_point g_verifyNow{};
Clock::time_point verifyClock() {
    return g_verifyNow;
}

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// Takes whatever is written to it and keeps none of it.
class Discard : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

int refuse(const std::filesystem::path& file, const std::string& reason) {
    std::cerr << file.u8string() << ": " << reason << std::endl;
    return 1;
}

}  // namespace

int verifyReplay(const std::filesystem::path& file) {
    using namespace vexa;

    const FileContents contents = ReadDataFile(file, Replay::kMaxFileBytes);
    if (!contents.Ok()) return refuse(file, "cannot read it: " + contents.reason);
    Replay replay;
    std::string reason;
    if (!DecodeReplay(contents.bytes, replay, reason)) return refuse(file, reason);

    // No window and no sound: SDL's dummy drivers, and a picture drawn
    // nowhere (texts are still made, as the rules make them).
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    g_renderer.Initialize();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (renderer == nullptr) return refuse(file, std::string("SDL cannot run: ") + SDL_GetError());
    g_renderer.Attach(renderer, 800, 600);
    g_time = Time(&verifyClock);

    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    FrameRunner::Options options;
    options.readDevices = false;
    options.draw = false;
    FrameRunner runner(*game, options);
    if (!runner.Watch(replay, true, reason)) return refuse(file, reason);
    // The game's own console lines (a record that cannot be read is said on
    // every step) are no part of the answer, which is the one line below.
    Discard discard;
    std::streambuf* const console = std::cout.rdbuf(&discard);
    while (runner.Watching()) {
        g_verifyNow += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / Time::kStepsPerSecond));
        runner.Run();
    }
    std::cout.rdbuf(console);

    const K_AsteroidField::RunResult& run = game->GetLastRun();
    std::cout << "score " << run.score << " digest " << hex(run.digest) << std::endl;
    if (!run.ended) return refuse(file, "its steps end before the run does");
    if (run.score != replay.score || run.digest != replay.digest) {
        return refuse(file, "the run ends with score " + std::to_string(run.score) + ", digest " +
                                hex(run.digest) + ", but it was recorded with score " +
                                std::to_string(replay.score) + ", digest " + hex(replay.digest));
    }
    return 0;
}
