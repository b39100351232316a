#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// SDL's own name for its controller type.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
typedef struct _SDL_GameController SDL_GameController;
union SDL_Event;
struct SDL_KeyboardEvent;

namespace vexa {

// One snapshot of the keyboard, mouse buttons and game controllers per frame;
// every query in a frame answers from that snapshot. Keys are SDL scancodes;
// buttons are 0 left, 1 middle, 2 right; controller buttons and axes are SDL's
// SDL_GameControllerButton and SDL_GameControllerAxis.
class InputSystem {
public:
    ~InputSystem();

    // Takes the first snapshot, so keys answer before the first Update; also
    // starts SDL's game controller support and begins watching the window's
    // focus. Always true: without controller support the keyboard still works.
    bool Initialize();
    // Takes one event off SDL's queue (unexamined: closing the window does not
    // quit) and snapshots the keyboard, mouse buttons and controllers.
    void Update();

    // Codes outside the tables answer false.
    bool GetKeyDown(std::uint32_t scancode) const;
    // Held in this snapshot but not in the one before. A key held since before
    // the window took the focus is no press until let go and pressed again. A
    // key first reaching the window within kFocusSettleMs of the focus may be
    // either: it counts as pressed once kFreshPressMs have passed without its
    // key repeat, or once it is let go, a frame or a few late.
    bool GetKeyPressed(std::uint32_t scancode) const;
    bool GetMouseButtonDown(std::uint32_t button) const;
    // Where the pointer is, in window coordinates.
    int GetMouseX() const { return m_mouseX; }
    int GetMouseY() const { return m_mouseY; }

    // Held on any controller.
    bool GetControllerButtonDown(int button) const;
    bool GetControllerButtonPressed(int button) const;
    // The deflection furthest from rest over all controllers, -1 to 1, and 0
    // inside the dead zone (worn sticks rarely rest at exactly zero).
    float GetControllerAxis(int axis) const;
    int GetControllerCount() const { return static_cast<int>(m_controllers.size()); }
    // Shakes every open controller that can for `ms` milliseconds (at most
    // kMaxRumbleMs) with its low- and high-frequency motors at these
    // strengths (0 to 65535); a later call replaces an earlier one. Returns
    // how many controllers took it: none without a controller or a motor.
    int Rumble(std::uint16_t low, std::uint16_t high, std::uint32_t ms);
    static constexpr std::uint32_t kMaxRumbleMs = 2000;

    // True in the frame after the window lost the keyboard focus, was
    // minimised or hidden (a browser reports a hidden tab so). Anything else
    // that takes the player away, such as a page's own script, calls
    // RequestPause to be seen the same way.
    bool GetPauseRequested() const { return m_pauseRequested; }
    void RequestPause() { m_pauseRequestPending = true; }
    // True in the frame after the window's close button (or the system's own
    // quit) asked the program to end; the frame loop decides what that means.
    bool GetCloseRequested() const { return m_closeRequested; }

    // Test seam: sets the snapshot without a window. The mouse mask is stored
    // exactly as Update stores SDL's. EndSnapshot makes the present snapshot
    // the one before, as a new frame does.
    void SetKeyDown(std::uint32_t scancode, bool down);
    void SetMouseButtons(std::uint32_t mask);
    void SetMousePosition(int x, int y) {
        m_mouseX = x;
        m_mouseY = y;
    }
    void SetControllerButton(int button, bool down);
    void SetControllerAxis(int axis, std::int16_t value);
    void EndSnapshot();
    const std::array<std::uint8_t, 3>& GetMouseButtonState() const { return m_mouseButtonState; }

    static constexpr int kControllerButtons = 21;  // SDL_CONTROLLER_BUTTON_MAX
    static constexpr int kControllerAxes = 6;      // SDL_CONTROLLER_AXIS_MAX
    static constexpr int kDeadZone = 8000;
    static constexpr int kScancodes = 512;  // SDL_NUM_SCANCODES
    // A key held while the focus returns reaches the window by its key repeat,
    // as a press, within one repeat interval (measured under X here: 12 to
    // 40 ms after the focus, on a busy machine up to 150 ms).
    static constexpr std::uint32_t kFocusSettleMs = 400;
    // Such a key repeats again one interval later (41 ms under X here, 33 ms at
    // the fastest Windows rate); a fresh press repeats only after the repeat
    // delay (660 ms under X, at least 250 ms on Windows). A key that has not
    // repeated this long after reaching the window was pressed for it.
    static constexpr std::uint32_t kFreshPressMs = 100;

private:
    void FollowControllers();
    void SnapshotControllers();
    static int WatchEvent(void* input, SDL_Event* event);
    void FollowKey(const SDL_KeyboardEvent& key);
    void JudgeKeysOnTrial(std::uint32_t now);

    std::vector<std::uint8_t> m_keyboardState;
    std::vector<std::uint8_t> m_previousKeyboardState;
    std::array<std::uint8_t, 3> m_mouseButtonState{};
    int m_mouseX = 0;
    int m_mouseY = 0;
    std::vector<SDL_GameController*> m_controllers;
    std::array<std::uint8_t, kControllerButtons> m_controllerButtons{};
    std::array<std::uint8_t, kControllerButtons> m_previousControllerButtons{};
    std::array<std::int16_t, kControllerAxes> m_controllerAxes{};
    bool m_controllersStarted = false;
    bool m_watching = false;
    bool m_pauseRequestPending = false;
    bool m_pauseRequested = false;
    bool m_closeRequestPending = false;
    bool m_closeRequested = false;
    bool m_focusReturned = false;
    std::uint32_t m_focusGainedAt = 0;
    // Keys held since before the window took the focus; cleared as each is let go.
    std::bitset<kScancodes> m_keysFromOutside;
    // Keys that first reached the window just after the focus returned, not yet
    // known to be fresh presses or held since before, and when each arrived.
    std::bitset<kScancodes> m_keysOnTrial;
    std::array<std::uint32_t, kScancodes> m_trialStart{};
    // Keys found to be fresh presses since the last snapshot, and in this one.
    std::bitset<kScancodes> m_freshPressesFound;
    std::bitset<kScancodes> m_latePresses;
};

// Keys and controller buttons by SDL's names, which a person recognises
// ("Space", "Left Shift"; "a", "start"), for what a player reads and writes.
// A name is taken in any case; one that names nothing gives kNoKey or
// kNoButton. A code without a name is "?".
inline constexpr int kNoKey = 0;      // SDL_SCANCODE_UNKNOWN
inline constexpr int kNoButton = -1;  // SDL_CONTROLLER_BUTTON_INVALID
int KeyFromName(std::string_view name);
int ButtonFromName(std::string_view name);
std::string KeyName(int scancode);
std::string ButtonName(int button);

extern InputSystem g_inputSystem;

}  // namespace vexa
