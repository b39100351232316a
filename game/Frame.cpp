#include "Frame.h"

#include "Controls.h"

#include "audio/AudioSystem.h"
#include "core/Time.h"
#include "framework/Game.h"
#include "input/InputSystem.h"
#include "platform/Platform.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <iostream>

namespace {

void followPause(vexa::Game& game, const Controls& controls) {
    using vexa::Pause;
    const Pause::Change change = game.m_pause.Update(game.CanPause(), controls.TogglePause(),
                                                     vexa::g_inputSystem.GetPauseRequested());
    if (change == Pause::Change::None) return;
    const bool paused = change == Pause::Change::Paused;
    vexa::g_audioSystem.SetPaused(paused);
    vexa::platform::PauseChanged(paused);
}

}  // namespace

bool runFrame(vexa::Game& game) {
    using namespace vexa;

    // The clock runs on while paused, so the first frame after it is as long
    // as any other, not the length of the pause.
    g_time.Tick();
    g_inputSystem.Update();
    g_audioSystem.Update();

    const Controls controls(g_inputSystem);
    if (controls.ToggleFullScreen()) g_renderer.ToggleFullScreen();
    if (controls.ToggleMute()) g_audioSystem.SetMuted(!g_audioSystem.IsMuted());
    followPause(game, controls);
    const bool running = !game.m_pause.IsPaused();

    if (running) g_particleSystem.Update(g_time.GetDeltaTime());
    // Escape ends the program after this frame has been completed, paused or not.
    const bool quit = g_inputSystem.GetKeyDown(SDL_SCANCODE_ESCAPE);

    if (running) game.Update(g_time.GetDeltaTime());

    if (g_inputSystem.GetMouseButtonDown(0)) std::cout << "mouse pressed" << std::endl;

    g_renderer.SetColor(0, 0, 0, 255);
    g_renderer.BeginFrame();
    game.Draw(g_renderer);
    g_renderer.EndFrame();
    return !quit;
}
