#include "InputSystem.h"

#include "core/GlobalOrder.h"

#include <SDL.h>

#include <algorithm>
#include <cassert>

namespace vexa {

VEXA_GLOBAL_ORDER(4) InputSystem g_inputSystem;

bool InputSystem::Initialize() {
    int numKeys = 0;
    const Uint8* keys = SDL_GetKeyboardState(&numKeys);
    m_keyboardState.assign(keys, keys + numKeys);
    return true;
}

void InputSystem::Update() {
    SDL_Event event;
    SDL_PollEvent(&event);

    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    std::copy(keys, keys + m_keyboardState.size(), m_keyboardState.begin());

    int x = 0;
    int y = 0;
    SetMouseButtons(SDL_GetMouseState(&x, &y));
}

bool InputSystem::GetKeyDown(std::uint32_t scancode) const {
    return scancode < m_keyboardState.size() && m_keyboardState[scancode] != 0;
}

bool InputSystem::GetMouseButtonDown(std::uint32_t button) const {
    return button < m_mouseButtonState.size() && m_mouseButtonState[button] != 0;
}

void InputSystem::SetKeyDown(std::uint32_t scancode, bool down) {
    if (m_keyboardState.empty()) m_keyboardState.resize(SDL_NUM_SCANCODES);
    assert(scancode < m_keyboardState.size() && "SetKeyDown takes an SDL scancode");
    if (scancode < m_keyboardState.size()) m_keyboardState[scancode] = down ? 1 : 0;
}

void InputSystem::SetMouseButtons(std::uint32_t mask) {
    // The masked bits are kept as they are (1, 2, 4), not turned into 0/1.
    m_mouseButtonState[0] = static_cast<std::uint8_t>(mask & SDL_BUTTON_LMASK);
    m_mouseButtonState[1] = static_cast<std::uint8_t>(mask & SDL_BUTTON_MMASK);
    m_mouseButtonState[2] = static_cast<std::uint8_t>(mask & SDL_BUTTON_RMASK);
}

}  // namespace vexa
