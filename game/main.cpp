#include "K_AsteroidField.h"

#include "audio/AudioSystem.h"
#include "core/File.h"
#include "core/MemoryTracker.h"
#include "core/Random.h"
#include "core/Time.h"
#include "input/InputSystem.h"
#include "platform/Platform.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <ctime>
#include <iostream>
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

    // One frame; false once Escape has ended the program.
    const auto frame = [&game] {
        g_time.Tick();
        g_inputSystem.Update();
        g_audioSystem.Update();
        g_particleSystem.Update(g_time.GetDeltaTime());
        // Escape ends the program after this frame has been completed.
        const bool quit = g_inputSystem.GetKeyDown(SDL_SCANCODE_ESCAPE);

        game->Update(g_time.GetDeltaTime());

        if (g_inputSystem.GetMouseButtonDown(0)) std::cout << "mouse pressed" << std::endl;

        g_renderer.SetColor(0, 0, 0, 255);
        g_renderer.BeginFrame();
        game->Draw(g_renderer);
        g_renderer.EndFrame();
        return !quit;
    };
    platform::RunFrames(displayRefreshRate(), frame);

    game.reset();
    return 0;
}
