#pragma once

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
    // P or Start went down this frame.
    bool TogglePause() const;
    // M went down this frame.
    bool ToggleMute() const;
    // F11, or Enter with Alt held, went down this frame.
    bool ToggleFullScreen() const;

private:
    const vexa::InputSystem& m_input;
};
