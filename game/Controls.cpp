#include "Controls.h"

#include "input/InputSystem.h"

#include <SDL.h>

bool Controls::Up() const {
    return m_input.GetKeyDown(SDL_SCANCODE_W) || m_input.GetKeyDown(SDL_SCANCODE_UP) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_DPAD_UP) ||
           m_input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY) < 0.0f;
}

bool Controls::Down() const {
    return m_input.GetKeyDown(SDL_SCANCODE_S) || m_input.GetKeyDown(SDL_SCANCODE_DOWN) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_DPAD_DOWN) ||
           m_input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY) > 0.0f;
}

bool Controls::Confirm() const {
    return m_input.GetKeyDown(SDL_SCANCODE_SPACE) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_A) ||
           m_input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_START);
}

std::uint8_t Controls::StepInput() const {
    std::uint8_t bits = 0;
    if (Up()) bits |= kStepUp;
    if (Down()) bits |= kStepDown;
    if (Confirm()) bits |= kStepConfirm;
    return bits;
}

bool Controls::ConfirmPressed() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_SPACE) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_A) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_START);
}

bool Controls::WatchBestRun() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_R) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_Y);
}

bool Controls::TogglePause() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_P) ||
           m_input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_START);
}

bool Controls::ToggleMute() const {
    return m_input.GetKeyPressed(SDL_SCANCODE_M);
}

bool Controls::ToggleFullScreen() const {
    if (m_input.GetKeyPressed(SDL_SCANCODE_F11)) return true;
    const bool alt = m_input.GetKeyDown(SDL_SCANCODE_LALT) || m_input.GetKeyDown(SDL_SCANCODE_RALT);
    return alt && (m_input.GetKeyPressed(SDL_SCANCODE_RETURN) ||
                   m_input.GetKeyPressed(SDL_SCANCODE_KP_ENTER));
}
