#pragma once

namespace vexa {

// Whether a game stands still. The frame loop asks it every frame; while it is
// paused the loop gives the game no time and no update, only draws it.
class Pause {
public:
    enum class Change { None, Paused, Resumed };

    // allowed: the game is in a state worth pausing (a run in progress).
    // toggle: the player's pause key or button went down this frame.
    // awayFromGame: the window lost the focus, was minimised or hidden; this
    // pauses but never resumes, so a player coming back finds the game waiting.
    Change Update(bool allowed, bool toggle, bool awayFromGame);
    // Update, then a change holds or resumes the sound and is told to the
    // platform (a browser's page then takes a tap as resuming).
    Change Follow(bool allowed, bool toggle, bool awayFromGame);
    bool IsPaused() const { return m_paused; }

private:
    bool m_paused = false;
};

}  // namespace vexa
