#include "InputSystem.h"

#include "core/GlobalOrder.h"

#include <SDL.h>

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cstdlib>
#include <iostream>

namespace vexa {

VEXA_GLOBAL_ORDER(4) InputSystem g_inputSystem;

static_assert(InputSystem::kControllerButtons == SDL_CONTROLLER_BUTTON_MAX);
static_assert(InputSystem::kControllerAxes == SDL_CONTROLLER_AXIS_MAX);
static_assert(InputSystem::kScancodes == SDL_NUM_SCANCODES);
static_assert(kNoKey == SDL_SCANCODE_UNKNOWN);
static_assert(kNoButton == SDL_CONTROLLER_BUTTON_INVALID);

namespace {

SDL_JoystickID instanceOf(SDL_GameController* controller) {
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

}  // namespace

InputSystem::~InputSystem() {
    if (m_watching) SDL_DelEventWatch(&InputSystem::WatchEvent, this);
    // After SDL_Quit the controllers are closed already and the handles dangle.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return;
    for (SDL_GameController* controller : m_controllers) SDL_GameControllerClose(controller);
}

bool InputSystem::Initialize() {
    int numKeys = 0;
    const Uint8* keys = SDL_GetKeyboardState(&numKeys);
    m_keyboardState.assign(keys, keys + numKeys);
    m_previousKeyboardState = m_keyboardState;

    if (!m_controllersStarted) {
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {
            m_controllersStarted = true;
            // Controllers are read as a snapshot each frame, as the keyboard
            // is: their events would only crowd a queue read one event a frame.
            SDL_GameControllerEventState(SDL_IGNORE);
            SDL_JoystickEventState(SDL_IGNORE);
        } else {
            std::cerr << "Game controllers are off: " << SDL_GetError() << std::endl;
        }
    }
    if (!m_watching) {
        // The events themselves stay in the queue, unexamined, as every event does.
        SDL_AddEventWatch(&InputSystem::WatchEvent, this);
        m_watching = true;
    }
    return true;
}

int InputSystem::WatchEvent(void* input, SDL_Event* event) {
    auto* self = static_cast<InputSystem*>(input);
    if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
        self->FollowKey(event->key);
        return 0;
    }
    if (event->type == SDL_QUIT) self->m_closeRequestPending = true;
    if (event->type != SDL_WINDOWEVENT) return 0;
    switch (event->window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        self->m_focusReturned = true;
        self->m_focusGainedAt = event->window.timestamp;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        self->RequestPause();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        self->m_closeRequestPending = true;
        break;
    default:
        break;
    }
    return 0;
}

void InputSystem::FollowKey(const SDL_KeyboardEvent& key) {
    const auto scancode = static_cast<std::size_t>(key.keysym.scancode);
    if (scancode >= m_keysFromOutside.size()) return;
    const bool onTrial = m_keysOnTrial.test(scancode);
    if (key.type == SDL_KEYUP) {
        m_keysFromOutside.reset(scancode);
        // Let go before it could repeat: a tap meant for the window.
        if (onTrial) m_freshPressesFound.set(scancode);
        m_keysOnTrial.reset(scancode);
        return;
    }
    if (key.repeat != 0) {
        // Repeating at the key repeat's pace from the start: held since before.
        if (onTrial) m_keysFromOutside.set(scancode);
        m_keysOnTrial.reset(scancode);
        return;
    }
    // SDL knows nothing of a key held in another window (under X not even at
    // the focus's return), and its key repeat arrives as a press: only its
    // repeats tell it from a fresh one. A key that reaches the window at any
    // other time was pressed for it, even where SDL thinks the window has no
    // focus (an X server giving keys to the window under the pointer).
    const bool justFocused = m_focusReturned && key.timestamp - m_focusGainedAt < kFocusSettleMs;
    if (!justFocused) return;
    m_keysOnTrial.set(scancode);
    m_trialStart[scancode] = key.timestamp;
}

void InputSystem::JudgeKeysOnTrial(std::uint32_t now) {
    m_latePresses |= m_freshPressesFound;
    m_freshPressesFound.reset();
    if (m_keysOnTrial.none()) return;
    for (std::size_t scancode = 0; scancode < m_keysOnTrial.size(); ++scancode) {
        if (!m_keysOnTrial.test(scancode)) continue;
        if (now - m_trialStart[scancode] < kFreshPressMs) continue;
        m_keysOnTrial.reset(scancode);
        m_latePresses.set(scancode);
    }
}

void InputSystem::Update() {
    SDL_Event event;
    SDL_PollEvent(&event);

    EndSnapshot();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    std::copy(keys, keys + m_keyboardState.size(), m_keyboardState.begin());
    // After the poll, which brings in any key repeat that shows a key held.
    JudgeKeysOnTrial(SDL_GetTicks());

    int x = 0;
    int y = 0;
    SetMouseButtons(SDL_GetMouseState(&x, &y));
    SetMousePosition(x, y);

    if (m_controllersStarted) {
        SDL_GameControllerUpdate();
        FollowControllers();
        SnapshotControllers();
    }

    m_pauseRequested = m_pauseRequestPending;
    m_pauseRequestPending = false;
    m_closeRequested = m_closeRequestPending;
    m_closeRequestPending = false;
}

void InputSystem::FollowControllers() {
    // Unplugged: closed, and the keyboard plays on.
    const auto detached = [](SDL_GameController* controller) {
        if (SDL_GameControllerGetAttached(controller)) return false;
        SDL_GameControllerClose(controller);
        return true;
    };
    m_controllers.erase(std::remove_if(m_controllers.begin(), m_controllers.end(), detached),
                        m_controllers.end());

    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (!SDL_IsGameController(index)) continue;
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        const bool open = std::any_of(m_controllers.begin(), m_controllers.end(),
                                      [id](SDL_GameController* c) { return instanceOf(c) == id; });
        if (open) continue;
        if (SDL_GameController* controller = SDL_GameControllerOpen(index)) {
            m_controllers.push_back(controller);
        }
    }
}

void InputSystem::SnapshotControllers() {
    m_controllerButtons.fill(0);
    m_controllerAxes.fill(0);
    for (SDL_GameController* controller : m_controllers) {
        for (int button = 0; button < kControllerButtons; ++button) {
            const auto which = static_cast<SDL_GameControllerButton>(button);
            if (SDL_GameControllerGetButton(controller, which) != 0)
                SetControllerButton(button, true);
        }
        for (int axis = 0; axis < kControllerAxes; ++axis) {
            const Sint16 value =
                SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(axis));
            if (std::abs(value) > std::abs(m_controllerAxes[static_cast<std::size_t>(axis)]))
                SetControllerAxis(axis, value);
        }
    }
}

bool InputSystem::GetKeyDown(std::uint32_t scancode) const {
    return scancode < m_keyboardState.size() && m_keyboardState[scancode] != 0;
}

bool InputSystem::GetKeyPressed(std::uint32_t scancode) const {
    const bool before =
        scancode < m_previousKeyboardState.size() && m_previousKeyboardState[scancode] != 0;
    if (scancode >= m_keysFromOutside.size()) return false;
    if (m_keysFromOutside[scancode] || m_keysOnTrial[scancode]) return false;
    return m_latePresses[scancode] || (GetKeyDown(scancode) && !before);
}

bool InputSystem::GetMouseButtonDown(std::uint32_t button) const {
    return button < m_mouseButtonState.size() && m_mouseButtonState[button] != 0;
}

bool InputSystem::GetControllerButtonDown(int button) const {
    return button >= 0 && button < kControllerButtons &&
           m_controllerButtons[static_cast<std::size_t>(button)] != 0;
}

bool InputSystem::GetControllerButtonPressed(int button) const {
    return GetControllerButtonDown(button) &&
           m_previousControllerButtons[static_cast<std::size_t>(button)] == 0;
}

float InputSystem::GetControllerAxis(int axis) const {
    if (axis < 0 || axis >= kControllerAxes) return 0.0f;
    const int value = m_controllerAxes[static_cast<std::size_t>(axis)];
    if (std::abs(value) <= kDeadZone) return 0.0f;
    return std::clamp(static_cast<float>(value) / 32767.0f, -1.0f, 1.0f);
}

int InputSystem::Rumble(std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
    int took = 0;
    for (SDL_GameController* controller : m_controllers) {
        if (SDL_GameControllerRumble(controller, low, high, std::min(ms, kMaxRumbleMs)) == 0)
            ++took;
    }
    return took;
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

void InputSystem::SetControllerButton(int button, bool down) {
    if (button >= 0 && button < kControllerButtons)
        m_controllerButtons[static_cast<std::size_t>(button)] = down ? 1 : 0;
}

void InputSystem::SetControllerAxis(int axis, std::int16_t value) {
    if (axis >= 0 && axis < kControllerAxes)
        m_controllerAxes[static_cast<std::size_t>(axis)] = value;
}

void InputSystem::EndSnapshot() {
    m_previousKeyboardState = m_keyboardState;
    m_previousControllerButtons = m_controllerButtons;
    m_latePresses.reset();
}

int KeyFromName(std::string_view name) {
    if (name.empty()) return kNoKey;
    return static_cast<int>(SDL_GetScancodeFromName(std::string(name).c_str()));
}

int ButtonFromName(std::string_view name) {
    if (name.empty()) return kNoButton;
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return static_cast<int>(SDL_GameControllerGetButtonFromString(lower.c_str()));
}

std::string KeyName(int scancode) {
    const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
    return name != nullptr && *name != '\0' ? name : "?";
}

std::string ButtonName(int button) {
    const char* name =
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
    return name != nullptr ? name : "?";
}

}  // namespace vexa
