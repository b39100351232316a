#include "Frame.h"

#include "Controls.h"
#include "HighScoreStore.h"
#include "K_AsteroidField.h"
#include "Settings.h"

#include "audio/AudioSystem.h"
#include "core/Time.h"
#include "framework/Application.h"
#include "input/InputSystem.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <iostream>
#include <string>
#include <utility>

FrameRunner::FrameRunner(K_AsteroidField& game) : FrameRunner(game, Options{}) {}

FrameRunner::FrameRunner(K_AsteroidField& game, Options options)
    : m_game{game}, m_options{options} {}

bool FrameRunner::Run() {
    using namespace vexa;

    // The clock runs on while paused, so the first frame after it is as long
    // as any other, not the length of the pause.
    g_time.Tick();
    if (m_options.readDevices) g_inputSystem.Update();
    g_audioSystem.Update();

    const Controls controls(g_inputSystem, m_game.m_settings.bindings);
    m_game.PassFrameTime(g_time.GetFrameTime());
    const Controls::Device device = controls.DeviceUsed();
    if (device != Controls::Device::None)
        m_game.SetControllerInUse(device == Controls::Device::Controller);
    if (g_inputSystem.GetCloseRequested()) m_game.ShowHowToQuit();
    // A key pressed for the menu to bind does nothing else.
    const bool binding = m_game.m_pause.IsPaused() && m_game.m_menu.GetWaitingRow() >= 0;
    if (!binding && controls.ToggleFullScreen()) {
        g_renderer.ToggleFullScreen();
        m_game.m_settings.fullScreen = g_renderer.IsFullScreen();
    }
    if (!binding && controls.ToggleMute()) g_audioSystem.SetMuted(!g_audioSystem.IsMuted());
    const bool away = g_inputSystem.GetPauseRequested() && m_game.m_settings.pauseOnFocusLoss;
    const bool wasPaused = m_game.m_pause.IsPaused();
    // The pause key on the title screen opens the same menu, for the options;
    // looking away there pauses nothing.
    const bool onTitle = m_game.GetState() == K_AsteroidField::TitleScreen && !m_watching;
    m_game.m_pause.Follow(m_game.CanPause() || onTitle, !binding && controls.TogglePause(),
                          away && m_game.CanPause());
    // Escape ends the program after this frame has been completed, paused or
    // not, and so does the system's asking it to end.
    bool quit = g_inputSystem.GetKeyDown(SDL_SCANCODE_ESCAPE) || EndRequested();
    if (wasPaused && m_game.m_pause.IsPaused()) {
        FollowMenu(controls, quit);
    } else if (m_game.m_pause.IsPaused()) {
        m_game.m_menu.Open(!onTitle);
    }
    const bool paused = m_game.m_pause.IsPaused();
    if (wasPaused && !paused) {
        KeepSettings();
        // The start button that closed the title's menu starts no run.
        if (onTitle) m_game.IgnoreConfirmUntilReleased();
    }

    if (m_watching && !wasPaused && !paused && controls.ConfirmPressed()) {
        StopWatching();
        m_game.IgnoreConfirmUntilReleased();
    }
    const K_AsteroidField::eState state = m_game.GetState();
    if (!m_watching && !paused &&
        (state == K_AsteroidField::TitleScreen || state == K_AsteroidField::GameOver) &&
        controls.WatchBestRun()) {
        WatchBestRun();
    }

    if (m_game.m_pause.IsPaused()) {
        g_time.Hold();
    } else {
        for (int step = 0; step < g_time.GetStepsDue(); ++step) Step();
    }

    if (g_inputSystem.GetMouseButtonDown(0)) std::cout << "mouse pressed" << std::endl;

    if (m_options.draw) {
        g_renderer.SetColor(0, 0, 0, 255);
        g_renderer.BeginFrame();
        m_game.Draw(g_renderer);
        g_renderer.EndFrame();
    }

    // A replay watched on its own ends the program once the game is back where
    // the player would leave it: the title screen.
    if (m_replayEnded && m_options.quitAfterReplay &&
        m_game.GetReplaying() == K_AsteroidField::Replaying::No) {
        quit = true;
    }
    if (++m_framesRun == kSettleFrames) m_settledPlace = g_renderer.GetWindowPlace();
    if (quit) KeepSettings();
    return !quit;
}

void FrameRunner::FollowMenu(const Controls& controls, bool& quit) {
    const Settings before = m_game.m_settings;
    switch (m_game.m_menu.Update(controls, vexa::g_inputSystem, m_game.m_settings)) {
    case PauseMenu::Outcome::Resume:
        // As the pause key would.
        m_game.m_pause.Follow(true, true, false);
        break;
    case PauseMenu::Outcome::Quit:
        quit = true;
        break;
    case PauseMenu::Outcome::None:
        break;
    }
    ApplySettings(m_game.m_settings, before);
}

void FrameRunner::KeepSettings() {
    if (m_options.settingsFile == nullptr) return;
    Settings& settings = m_game.m_settings;
    // A window the player moved or sized is kept, and once kept, followed.
    if (vexa::g_renderer.GetSDLWindow() != nullptr && m_framesRun >= kSettleFrames) {
        const vexa::Renderer::WindowPlace place = vexa::g_renderer.GetWindowPlace();
        if (settings.window || place != m_settledPlace) settings.window = place;
    }
    m_options.settingsFile->SaveIfChanged(settings);
}

void ApplySettings(const Settings& settings, const Settings& before) {
    constexpr float kPercent = 100.0f;
    if (settings.musicVolume != before.musicVolume ||
        settings.effectsVolume != before.effectsVolume) {
        vexa::g_audioSystem.SetVolumes(static_cast<float>(settings.musicVolume) / kPercent,
                                       static_cast<float>(settings.effectsVolume) / kPercent);
    }
    if (settings.fullScreen != before.fullScreen)
        vexa::g_renderer.SetFullScreen(settings.fullScreen);
}

void FrameRunner::Step() {
    if (m_watching) {
        if (m_nextStep < m_replay.steps.size() && m_game.GetState() != K_AsteroidField::GameOver) {
            m_game.FeedStepInput(m_replay.steps[m_nextStep++]);
        } else {
            // The run is over: its game-over screen stays for the player to leave.
            StopWatching();
        }
    }
    vexa::g_particleSystem.Update(vexa::g_time.GetDeltaTime());
    m_game.Update(vexa::g_time.GetDeltaTime());
}

bool FrameRunner::Watch(const vexa::Replay& replay, bool verifying, std::string& reason) {
    const auto how =
        verifying ? K_AsteroidField::Replaying::Verify : K_AsteroidField::Replaying::Watch;
    if (!m_game.BeginReplay(replay, how, reason)) return false;
    m_replay = replay;
    m_nextStep = 0;
    m_watching = true;
    m_replayEnded = false;
    return true;
}

void FrameRunner::WatchBestRun() {
    const std::string bytes = g_highScoreStore.LoadBestReplay();
    if (bytes.empty()) return;
    vexa::Replay replay;
    std::string reason;
    if (!vexa::DecodeReplay(bytes, replay, reason) || !Watch(replay, false, reason)) {
        std::cout << "Unable to play the best run: " << reason << std::endl;
    }
}

void FrameRunner::StopWatching() {
    m_watching = false;
    m_replayEnded = true;
    // Left before its end, the replay goes straight back to the title screen.
    if (m_game.GetState() != K_AsteroidField::GameOver) m_game.EndReplay();
}
