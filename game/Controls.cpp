#include "Controls.h"

#include "input/InputSystem.h"

#include <SDL_gamecontroller.h>
#include <SDL_scancode.h>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

const Bindings& defaultBindings() {
    static const Bindings kDefaults;
    return kDefaults;
}

std::uint32_t scancode(int code) {
    return static_cast<std::uint32_t>(code);
}

// A stick pushed this far is being used, not resting off centre.
constexpr float kStickInUse = 0.5f;

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

Controls::Controls(const vexa::InputSystem& input) : Controls(input, defaultBindings()) {}

bool Controls::KeyDown(Bindings::Key action) const {
    return m_input.GetKeyDown(scancode(m_bindings.keys[static_cast<std::size_t>(action)]));
}

bool Controls::KeyPressed(Bindings::Key action) const {
    return m_input.GetKeyPressed(scancode(m_bindings.keys[static_cast<std::size_t>(action)]));
}

bool Controls::ButtonDown(Bindings::Button action) const {
    return m_input.GetControllerButtonDown(m_bindings.buttons[static_cast<std::size_t>(action)]);
}

bool Controls::ButtonPressed(Bindings::Button action) const {
    return m_input.GetControllerButtonPressed(m_bindings.buttons[static_cast<std::size_t>(action)]);
}

bool Controls::Up() const {
    return KeyDown(Bindings::Up) || m_input.GetKeyDown(SDL_SCANCODE_UP) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_DPAD_UP) ||
           m_input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY) < 0.0f;
}

bool Controls::Down() const {
    return KeyDown(Bindings::Down) || m_input.GetKeyDown(SDL_SCANCODE_DOWN) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_DPAD_DOWN) ||
           m_input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY) > 0.0f;
}

bool Controls::Confirm() const {
    return KeyDown(Bindings::Start) || ButtonDown(Bindings::PadStart) ||
           ButtonDown(Bindings::PadPause);
}

std::uint8_t Controls::StepInput() const {
    std::uint8_t bits = 0;
    if (Up()) bits |= kStepUp;
    if (Down()) bits |= kStepDown;
    if (Confirm()) bits |= kStepConfirm;
    return bits;
}

bool Controls::ConfirmPressed() const {
    return KeyPressed(Bindings::Start) || ButtonPressed(Bindings::PadStart) ||
           ButtonPressed(Bindings::PadPause);
}

bool Controls::WatchBestRun() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_R) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_Y);
}

bool Controls::TogglePause() const {
    return KeyPressed(Bindings::Pause) || ButtonPressed(Bindings::PadPause);
}

bool Controls::ToggleMute() const {
    return KeyPressed(Bindings::Mute);
}

bool Controls::ToggleFullScreen() const {
    if (KeyPressed(Bindings::FullScreen)) return true;
    const bool alt = m_input.GetKeyDown(SDL_SCANCODE_LALT) || m_input.GetKeyDown(SDL_SCANCODE_RALT);
    return alt && (m_input.GetKeyPressed(SDL_SCANCODE_RETURN) ||
                   m_input.GetKeyPressed(SDL_SCANCODE_KP_ENTER));
}

bool Controls::MenuUp() const {
    return KeyPressed(Bindings::Up) || m_input.GetKeyPressed(SDL_SCANCODE_UP) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_DPAD_UP);
}

bool Controls::MenuDown() const {
    return KeyPressed(Bindings::Down) || m_input.GetKeyPressed(SDL_SCANCODE_DOWN) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
}

bool Controls::MenuLeft() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_LEFT) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
}

bool Controls::MenuRight() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_RIGHT) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
}

bool Controls::MenuChoose() const {
    const bool alt = m_input.GetKeyDown(SDL_SCANCODE_LALT) || m_input.GetKeyDown(SDL_SCANCODE_RALT);
    // Alt+Enter is the full-screen key, not a choice.
    const bool enter = !alt && (m_input.GetKeyPressed(SDL_SCANCODE_RETURN) ||
                                m_input.GetKeyPressed(SDL_SCANCODE_KP_ENTER));
    const bool spaceFree = m_bindings.KeyAction(SDL_SCANCODE_SPACE) == Bindings::kKeyCount ||
                           m_bindings.KeyAction(SDL_SCANCODE_SPACE) == Bindings::Start;
    return enter || (spaceFree && m_input.GetKeyPressed(SDL_SCANCODE_SPACE)) ||
           KeyPressed(Bindings::Start) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_A);
}

bool Controls::MenuBack() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_BACKSPACE) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_B);
}

Controls::Device Controls::DeviceUsed() const {
    for (int code = 1; code < vexa::InputSystem::kScancodes; ++code) {
        if (m_input.GetKeyPressed(scancode(code))) return Device::Keyboard;
    }
    for (int button = 0; button < vexa::InputSystem::kControllerButtons; ++button) {
        if (m_input.GetControllerButtonPressed(button)) return Device::Controller;
    }
    for (int axis = 0; axis < vexa::InputSystem::kControllerAxes; ++axis) {
        if (std::fabs(m_input.GetControllerAxis(axis)) > kStickInUse) return Device::Controller;
    }
    return Device::None;
}

std::string KeyLabel(int scancode) {
    return upper(vexa::KeyName(scancode));
}

std::string ButtonLabel(int button) {
    return upper(vexa::ButtonName(button));
}

void MovementToggle::Follow(bool up, bool down, bool steering) {
    const bool upPressed = up && !m_upHeld;
    const bool downPressed = down && !m_downHeld;
    m_upHeld = up;
    m_downHeld = down;
    if (!steering || upPressed == downPressed) {
        // Both at once mean no way, as both held do.
        if (steering && upPressed) m_moving = 0;
        return;
    }
    const std::uint8_t way = upPressed ? Controls::kStepUp : Controls::kStepDown;
    m_moving = m_moving == way ? 0 : way;
}

std::uint8_t MovementToggle::Apply(std::uint8_t input) const {
    constexpr auto kMovement = static_cast<std::uint8_t>(Controls::kStepUp | Controls::kStepDown);
    return static_cast<std::uint8_t>((input & ~kMovement) | m_moving);
}
