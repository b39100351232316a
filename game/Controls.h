#pragma once

#include "Settings.h"

#include <cstdint>
#include <string>

namespace vexa {
class InputSystem;
}

// What the player's keys and controller buttons mean, read from one input
// snapshot under the player's bindings. The keyboard and every controller
// count alike, all at once.
class Controls {
public:
    explicit Controls(const vexa::InputSystem& input);
    Controls(const vexa::InputSystem& input, const Bindings& bindings)
        : m_input{input}, m_bindings{bindings} {}

    // The up key (W), the Up arrow, the D-pad or the left stick held up;
    // likewise down (S).
    bool Up() const;
    bool Down() const;
    // The start key (Space) or the controller's start or pause button (A,
    // Start) held: starts a game and leaves the game-over screen.
    bool Confirm() const;
    // What the rules read in one step, as a replay records it: Up, Down and
    // Confirm as bits of one byte, whatever keys the player has bound.
    enum StepBit : std::uint8_t { kStepUp = 1, kStepDown = 2, kStepConfirm = 4 };
    std::uint8_t StepInput() const;
    // Confirm went down this frame: ends a replay being watched.
    bool ConfirmPressed() const;
    // R or the north button (Y / Triangle) went down this frame: on the
    // title screen, plays the best run again.
    bool WatchBestRun() const;
    // The pause key (P) or the controller's pause button (Start) went down.
    bool TogglePause() const;
    // The mute key (M) went down this frame.
    bool ToggleMute() const;
    // The full-screen key (F11), or Enter with Alt held, went down this frame.
    bool ToggleFullScreen() const;

    // In a menu, went down this frame: up and down as above (the stick
    // aside), Left and Right on the arrows or the D-pad; choosing on Enter,
    // Space unless it is bound to something else, the start key or A; back
    // on Backspace or B.
    bool MenuUp() const;
    bool MenuDown() const;
    bool MenuLeft() const;
    bool MenuRight() const;
    bool MenuChoose() const;
    bool MenuBack() const;

    // Which kind of device the player used this frame, if any: a key went
    // down, or a controller's button did or its stick was pushed.
    enum class Device { None, Keyboard, Controller };
    Device DeviceUsed() const;

    const Bindings& GetBindings() const { return m_bindings; }

private:
    bool KeyDown(Bindings::Key action) const;
    bool KeyPressed(Bindings::Key action) const;
    bool ButtonDown(Bindings::Button action) const;
    bool ButtonPressed(Bindings::Button action) const;

    const vexa::InputSystem& m_input;
    const Bindings& m_bindings;
};

// A key's or a button's name as the game's texts show it, in capitals.
std::string KeyLabel(int scancode);
std::string ButtonLabel(int button);

// Movement for a player who cannot hold a key down: a press of up (or down)
// sets the ship moving that way until the other is pressed, or the same
// again. It reads what Controls reads, so keys, a controller and a touch
// screen's halves all steer it.
class MovementToggle {
public:
    // One frame's up and down as held. Presses count only while `steering`
    // (in a run, not paused); what is held is noted all the same, so a key
    // still down as steering begins is no fresh press.
    void Follow(bool up, bool down, bool steering);
    // `input` with the toggled movement in place of the held one.
    std::uint8_t Apply(std::uint8_t input) const;
    void Stop() { m_moving = 0; }
    std::uint8_t Moving() const { return m_moving; }

private:
    bool m_upHeld = false;
    bool m_downHeld = false;
    std::uint8_t m_moving = 0;
};
