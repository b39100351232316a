#include "Frame.h"
#include "K_AsteroidField.h"

#include "core/File.h"
#include "core/MemoryTracker.h"
#include "core/Random.h"
#include "platform/Platform.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <ctime>
#include <memory>

namespace {

int displayRefreshRate() {
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(vexa::g_renderer.GetSDLWindow(), &mode) != 0) return 0;
    return mode.refresh_rate;
}

}  // namespace

int main(int /*argc*/, char* /*argv*/[]) {
    using namespace vexa;

    platform::Prepare();
    MemoryTracker::Initialize();
    seedRandom(static_cast<unsigned int>(std::time(nullptr)));
    SetFilePath("Assets");

    g_renderer.Initialize();
    // Without a window the loop could never see Escape, so there is no game to run.
    if (!g_renderer.CreateWindow("ZAP207", 800, 600)) return 1;

    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();

    platform::RunFrames(displayRefreshRate(), [&game] { return runFrame(*game); });

    game.reset();
    return 0;
}
