#include "Frame.h"

#include "Controls.h"
#include "HighScoreStore.h"
#include "K_AsteroidField.h"
#include "Settings.h"

#include "audio/AudioSystem.h"
#include "core/Random.h"
#include "core/Time.h"
#include "framework/Application.h"
#include "input/InputSystem.h"
#include "renderer/ParticleSystem.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include <SDL_scancode.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>

namespace {

const vexa::Color kWhite(1.0f, 1.0f, 1.0f, 1.0f);
// A sign that stays on screen is drawn quieter than the game's words.
const vexa::Color kQuiet(0.6f, 0.6f, 0.6f, 1.0f);
// How dark the frozen game behind a menu is drawn, out of 255.
constexpr std::uint8_t kMenuDim = 170;
// Room left between the window's edge and a note.
constexpr int kEdge = 10;

}  // namespace

FrameRunner::FrameRunner(K_AsteroidField& game) : FrameRunner(game, Options{}) {}

FrameRunner::FrameRunner(K_AsteroidField& game, Options options)
    : m_game{game},
      m_options{options},
      m_replayText{std::make_unique<vexa::Text>(game.GetFont())},
      m_mutedText{std::make_unique<vexa::Text>(game.GetFont())},
      m_quitHelpText{std::make_unique<vexa::Text>(game.GetFont())} {
    m_menu.Initialize(game.GetFont());
    m_game.SetReplayOfRun([this](const K_AsteroidField::RunResult& run) {
        return ReplayOfRun(run.score, run.digest, run.speedPercent);
    });
    if (m_options.settingsFile != nullptr) vexa::KeepOnSessionEnd([this] { KeepSettings(); });
}

FrameRunner::~FrameRunner() {
    m_game.SetReplayOfRun(nullptr);
    if (m_options.settingsFile != nullptr) vexa::KeepOnSessionEnd(nullptr);
}

bool FrameRunner::Run() {
    using namespace vexa;

    // A replay is watched at the speed it was played at; anything else runs
    // at the player's.
    if (!m_watching) g_time.SetSpeedPercent(m_settings.gameSpeed);
    // The clock runs on while paused, so the first frame after it is as long
    // as any other, not the length of the pause.
    g_time.Tick();
    if (m_options.readDevices) g_inputSystem.Update();
    g_audioSystem.Update();

    const Controls controls(g_inputSystem, m_settings.bindings);
    m_quitHelpLeft = std::max(0.0f, m_quitHelpLeft - g_time.GetFrameTime());
    const Controls::Device device = controls.DeviceUsed();
    if (device != Controls::Device::None)
        m_controllerInUse = device == Controls::Device::Controller;
    if (g_inputSystem.GetCloseRequested()) m_quitHelpLeft = kQuitHelpTime;
    // A key pressed for the menu to bind does nothing else.
    const bool binding = m_game.m_pause.IsPaused() && m_menu.GetWaitingRow() >= 0;
    if (!binding && controls.ToggleFullScreen()) {
        g_renderer.ToggleFullScreen();
        m_settings.fullScreen = g_renderer.IsFullScreen();
    }
    if (!binding && controls.ToggleMute()) g_audioSystem.SetMuted(!g_audioSystem.IsMuted());
    const bool away = g_inputSystem.GetPauseRequested() && m_settings.pauseOnFocusLoss;
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
        m_menu.Open(!onTitle);
    }
    const bool paused = m_game.m_pause.IsPaused();
    if (wasPaused && !paused) {
        KeepSettings();
        // The start button that closed the title's menu starts no run.
        if (onTitle) m_confirmSpent = true;
    }

    if (m_watching && !wasPaused && !paused && controls.ConfirmPressed()) {
        StopWatching();
        m_confirmSpent = true;
    }
    const K_AsteroidField::eState state = m_game.GetState();
    if (!m_watching && !paused &&
        (state == K_AsteroidField::TitleScreen || state == K_AsteroidField::GameOver) &&
        controls.WatchBestRun()) {
        WatchBestRun();
    }

    ApplyLook();
    const K_AsteroidField::eState running = m_game.GetState();
    const bool inRun =
        running != K_AsteroidField::TitleScreen && running != K_AsteroidField::GameOver;
    m_movement.Follow(
        controls.Up(), controls.Down(),
        m_settings.toggleMovement && inRun && !m_watching && !m_game.m_pause.IsPaused());
    if (!inRun || !m_settings.toggleMovement) m_movement.Stop();
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
        DrawNotes(g_renderer);
        g_renderer.EndFrame();
    }

    // A replay watched on its own ends the program once the game is back where
    // the player would leave it: the title screen.
    if (m_replayEnded && m_options.quitAfterReplay &&
        m_game.GetReplaying() == K_AsteroidField::Replaying::No) {
        quit = true;
    }
    if (++m_framesRun == kSettleFrames) m_settledPlace = g_renderer.GetWindowPlace();
    // A browser's page offers the best run only where R watches it.
    const K_AsteroidField::eState shown = m_game.GetState();
    BestRunOffered(!m_watching && !m_game.m_pause.IsPaused() &&
                   (shown == K_AsteroidField::TitleScreen || shown == K_AsteroidField::GameOver));
    if (quit) KeepSettings();
    return !quit;
}

void FrameRunner::FollowMenu(const Controls& controls, bool& quit) {
    const Settings before = m_settings;
    switch (m_menu.Update(controls, vexa::g_inputSystem, m_settings)) {
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
    ApplySettings(m_settings, before);
}

void FrameRunner::KeepSettings() {
    if (m_options.settingsFile == nullptr) return;
    Settings& settings = m_settings;
    // A window the player moved or sized is kept, and once kept, followed.
    if (vexa::g_renderer.HasWindow() && m_framesRun >= kSettleFrames) {
        const vexa::Renderer::WindowPlace place = vexa::g_renderer.GetWindowPlace();
        if (settings.window || place != m_settledPlace) settings.window = place;
    }
    m_options.settingsFile->SaveIfChanged(settings);
}

void FrameRunner::ApplyLook() {
    // Until the player chooses, reduced motion follows the system's wish.
    const bool systemWish = vexa::SystemPrefersReducedMotion();
    const bool reducedMotion = m_settings.reducedMotion.value_or(systemWish);
    m_menu.SetSystemReducedMotion(systemWish);
    // A finger needs the menu's rows farther apart than the picture's scale leaves them.
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    const bool finger = vexa::SystemPointerCoarse() && vexa::WindowCssSize(cssWidth, cssHeight);
    m_menu.SetFingerScale(
        finger ? static_cast<float>(std::min(cssWidth / vexa::g_renderer.GetWidth(),
                                             cssHeight / vexa::g_renderer.GetHeight()))
               : 0.0f);
    m_game.SetLook(m_settings.palette, m_settings.textSize, reducedMotion);
}

void FrameRunner::FeelHit() {
    // Short and strong: a jolt, not a buzz that outlasts the explosion.
    constexpr std::uint16_t kLowMotor = 0xC000;
    constexpr std::uint16_t kHighMotor = 0x8000;
    constexpr int kMilliseconds = 250;
    if (!m_settings.haptics) return;
    vexa::g_inputSystem.Rumble(kLowMotor, kHighMotor, kMilliseconds);
    vexa::Vibrate(kMilliseconds);
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
    using State = K_AsteroidField::eState;
    const State before = m_game.GetState();
    const bool replaying = m_game.GetReplaying() != K_AsteroidField::Replaying::No;
    bool fed = false;
    std::uint8_t input = 0;
    if (m_watching) {
        if (m_nextStep < m_replay.steps.size() && before != K_AsteroidField::GameOver) {
            input = m_replay.steps[m_nextStep++];
            fed = true;
        } else {
            // The run is over: its game-over screen stays for the player to leave.
            StopWatching();
        }
    }
    if (!fed) input = PlayerStepInput();
    Record(input);
    m_game.FeedStepInput(input);
    vexa::g_particleSystem.Update(vexa::g_time.GetDeltaTime());
    m_game.Update(vexa::g_time.GetDeltaTime());

    const State after = m_game.GetState();
    if (after == K_AsteroidField::PlayerDeadStart && before != after && !m_watching) FeelHit();
    if (after == K_AsteroidField::GameOver) m_recording = false;
    // A replay's last screen is left for the title screen, not a new run.
    if (replaying && before == K_AsteroidField::GameOver && after == K_AsteroidField::TitleScreen)
        m_confirmSpent = true;
}

std::uint8_t FrameRunner::PlayerStepInput() {
    auto input = Controls(vexa::g_inputSystem, m_settings.bindings).StepInput();
    if (m_settings.toggleMovement) input = m_movement.Apply(input);
    if (!m_confirmSpent) return input;
    if (input & Controls::kStepConfirm)
        return static_cast<std::uint8_t>(input & ~Controls::kStepConfirm);
    m_confirmSpent = false;
    return input;
}

void FrameRunner::Record(std::uint8_t input) {
    // A run is recorded from the step that starts it to the step that ends it.
    if (m_game.GetState() == K_AsteroidField::StartGame &&
        m_game.GetReplaying() == K_AsteroidField::Replaying::No) {
        m_recording = true;
        m_record = vexa::Replay{};
        m_record.rulesVersion = K_AsteroidField::kRulesVersion;
        m_record.seed = vexa::randomState();
        m_record.start = m_game.RunStart();
    }
    if (!m_recording) return;
    // Past the longest replay a file can hold, the run goes on unrecorded.
    if (m_record.steps.size() >= vexa::Replay::kMaxSteps) {
        m_recording = false;
        return;
    }
    m_record.steps.push_back(input);
}

std::string FrameRunner::ReplayOfRun(int score, std::uint64_t digest, int speedPercent) {
    if (!m_recording) return {};
    m_record.score = score;
    m_record.digest = digest;
    m_record.speedPercent = speedPercent;
    return vexa::EncodeReplay(m_record);
}

bool FrameRunner::Watch(const vexa::Replay& replay, bool verifying, std::string& reason) {
    const auto how =
        verifying ? K_AsteroidField::Replaying::Verify : K_AsteroidField::Replaying::Watch;
    if (!m_game.BeginReplay(replay, how, reason)) return false;
    vexa::g_time.SetSpeedPercent(replay.speedPercent);
    m_recording = false;
    m_replay = replay;
    m_nextStep = 0;
    m_watching = true;
    m_replayEnded = false;
    return true;
}

void FrameRunner::WatchBestRun() {
    // While the game is slowed, the best run is the assisted best's, where
    // there is one.
    std::string bytes;
    if (m_settings.gameSpeed < vexa::Replay::kFullSpeedPercent)
        bytes = g_highScoreStore.LoadAssistedReplay();
    if (bytes.empty()) bytes = g_highScoreStore.LoadBestReplay();
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

void FrameRunner::DrawNotes(vexa::Renderer& renderer) {
    const Bindings& keys = m_settings.bindings;
    const int width = renderer.GetWidth();
    const int height = renderer.GetHeight();
    if (m_game.GetReplaying() == K_AsteroidField::Replaying::Watch) {
        // '\xB7' is the middle dot in the font's Latin-1 text.
        const std::string stop = m_controllerInUse ? ButtonLabel(keys.buttons[Bindings::PadStart])
                                                   : KeyLabel(keys.keys[Bindings::Start]);
        // A slowed run is watched slowed, and says so.
        const std::string speed =
            m_replay.Assisted() ? " AT " + std::to_string(m_replay.speedPercent) + "%" : "";
        m_replayText->Create(renderer, "REPLAY" + speed + " \xB7 " + stop + " TO STOP", kWhite);
        m_replayText->Draw(renderer, (width - m_replayText->GetWidth()) / 2,
                           height - kEdge - m_replayText->GetHeight());
    }
    if (vexa::g_audioSystem.IsMuted()) {
        m_mutedText->Create(renderer, "MUTED", kQuiet);
        m_mutedText->Draw(renderer, width - kEdge - m_mutedText->GetWidth(),
                          height - kEdge - m_mutedText->GetHeight());
    }
    if (m_game.m_pause.IsPaused()) {
        renderer.Dim(kMenuDim);
        m_menu.Draw(renderer, m_settings);
    }
    if (m_quitHelpLeft > 0.0f) {
        // Without a keyboard, the way out is the menu's Quit.
        const std::string help =
            m_controllerInUse
                ? "PRESS " + ButtonLabel(keys.buttons[Bindings::PadPause]) + " AND CHOOSE QUIT"
                : "PRESS ESC TO QUIT";
        m_quitHelpText->Create(renderer, help, kWhite);
        const int x = (width - m_quitHelpText->GetWidth()) / 2;
        const int y = 5 * kEdge;
        renderer.SetColor(0, 0, 0, 255);
        renderer.FillRect(static_cast<float>(x - kEdge),
                          static_cast<float>(y) - static_cast<float>(kEdge) / 2.0f,
                          static_cast<float>(m_quitHelpText->GetWidth() + 2 * kEdge),
                          static_cast<float>(m_quitHelpText->GetHeight() + kEdge));
        m_quitHelpText->Draw(renderer, x, y);
    }
}
