#pragma once

#include "core/Replay.h"
#include "renderer/Renderer.h"

#include <cstddef>

class Controls;
class K_AsteroidField;
class SettingsFile;
struct Settings;

// The frame loop's one pass, the same for the game, its tests, the benchmarks
// and the soak tool: the clock, input, sound, the player's window and sound
// keys, pause, the fixed steps the frame's time pays for (the particles, then
// the game), and the picture. It also plays replays: their steps take the
// place of the player's input, step by step.
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

    // One drawn frame. False once the program should end: Escape was held
    // (this frame is still completed), or a replay ended with quitAfterReplay.
    bool Run();

    // Plays `replay` from its first step on the next frame. False, with
    // `reason`, when it cannot be played.
    bool Watch(const vexa::Replay& replay, bool verifying, std::string& reason);
    bool Watching() const { return m_watching; }

private:
    void Step();
    void WatchBestRun();
    void StopWatching();
    void FollowMenu(const Controls& controls, bool& quit);
    void KeepSettings();

    K_AsteroidField& m_game;
    Options m_options;
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
