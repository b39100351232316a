#pragma once

#include "Controls.h"
#include "PauseMenu.h"
#include "Settings.h"

#include "core/Replay.h"
#include "renderer/Renderer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class K_AsteroidField;
class SettingsFile;

namespace vexa {
class Text;
}

// The frame loop's one pass, the same for the game, its tests, the benchmarks
// and the soak tool: the clock, input, sound, the player's window and sound
// keys, pause, the fixed steps the frame's time pays for (the particles, then
// the game), and the picture. It holds what the player chooses around the
// game: the settings, the pause menu that changes them, the notes drawn over
// the game. It records each run for the record's replay, and plays replays:
// their steps take the place of the player's input, step by step.
class FrameRunner {
public:
    struct Options {
        // Otherwise the caller sets the input system's snapshot itself (tests,
        // tools); SDL's events and devices are not read.
        bool readDevices = true;
        bool draw = true;
        // A replay being watched ends the program when it ends.
        bool quitAfterReplay = false;
        // Where the game's settings are kept when the player changes them (as
        // a pause menu closes, or the program ends); none keeps nothing.
        SettingsFile* settingsFile = nullptr;
    };

    explicit FrameRunner(K_AsteroidField& game);
    FrameRunner(K_AsteroidField& game, Options options);
    ~FrameRunner();
    FrameRunner(const FrameRunner&) = delete;
    FrameRunner& operator=(const FrameRunner&) = delete;

    // One drawn frame. False once the program should end: Escape was held
    // (this frame is still completed), or a replay ended with quitAfterReplay.
    bool Run();

    // Plays `replay` from its first step on the next frame. False, with
    // `reason`, when it cannot be played.
    bool Watch(const vexa::Replay& replay, bool verifying, std::string& reason);
    bool Watching() const { return m_watching; }

    // The player's settings, and the menu a pause shows to change them.
    Settings& GetSettings() { return m_settings; }
    const PauseMenu& GetMenu() const { return m_menu; }
    // Whether the devices are read from the next frame on (see Options).
    void ReadDevices(bool read) { m_options.readDevices = read; }

    // The window's close button does not end the program: how to quit shows
    // for a while instead, counted in the real length of the frames drawn.
    static constexpr float kQuitHelpTime = 3.0f;
    bool ShowingHowToQuit() const { return m_quitHelpLeft > 0.0f; }

private:
    void Step();
    std::uint8_t PlayerStepInput();
    void Record(std::uint8_t input);
    std::string ReplayOfRun(int score, std::uint64_t digest, int speedPercent);
    void WatchBestRun();
    void StopWatching();
    void FollowMenu(const Controls& controls, bool& quit);
    void KeepSettings();
    // Tells the game how the player wants it drawn.
    void ApplyLook();
    // The ship was hit: a controller's rumble and a phone's vibration, as
    // the player allows.
    void FeelHit();
    void DrawNotes(vexa::Renderer& renderer);

    K_AsteroidField& m_game;
    Options m_options;
    Settings m_settings;
    PauseMenu m_menu;
    // The player's confirm counts again only once let go: the press that left
    // a replay or the title's menu must not also start a run.
    bool m_confirmSpent = false;
    float m_quitHelpLeft = 0.0f;
    // Words for a controller rather than the keyboard: the player's last input
    // came from one.
    bool m_controllerInUse = false;
    std::unique_ptr<vexa::Text> m_replayText;
    std::unique_ptr<vexa::Text> m_mutedText;
    std::unique_ptr<vexa::Text> m_quitHelpText;
    // Up and down as presses that set the ship moving, when the player
    // cannot hold them.
    MovementToggle m_movement;
    // The run under way, recorded for the record's replay.
    bool m_recording = false;
    vexa::Replay m_record;
    vexa::Replay m_replay;
    std::size_t m_nextStep = 0;
    bool m_watching = false;
    bool m_replayEnded = false;
    // The window's place once the window system has settled it; only a place
    // the player gives it afterwards is kept.
    static constexpr int kSettleFrames = 30;
    int m_framesRun = 0;
    vexa::Renderer::WindowPlace m_settledPlace;
};

// Puts the volumes of `settings` into effect, and full screen when it differs
// from `before`'s.
void ApplySettings(const Settings& settings, const Settings& before);
