#pragma once

#include <cstdint>

namespace vexa {
class InputSystem;
}

// What the player's keys and controller buttons mean, read from one input
// snapshot. The keyboard and every controller count alike, all at once.
class Controls {
public:
    explicit Controls(const vexa::InputSystem& input) : m_input{input} {}

    // W, Up, the D-pad or the left stick held up; likewise down.
    bool Up() const;
    bool Down() const;
    // Space, the south button (A / Cross) or Start held: starts a game and
    // leaves the game-over screen.
    bool Confirm() const;
    // What the rules read in one step, as a replay records it: Up, Down and
    // Confirm as bits of one byte.
    enum StepBit : std::uint8_t { kStepUp = 1, kStepDown = 2, kStepConfirm = 4 };
    std::uint8_t StepInput() const;
    // Space, A or Start went down this frame: ends a replay being watched.
    bool ConfirmPressed() const;
    // R or the north button (Y / Triangle) went down this frame: on the
    // title screen, plays the best run again.
    bool WatchBestRun() const;
    // P or Start went down this frame.
    bool TogglePause() const;
    // M went down this frame.
    bool ToggleMute() const;
    // F11, or Enter with Alt held, went down this frame.
    bool ToggleFullScreen() const;

private:
    const vexa::InputSystem& m_input;
};
