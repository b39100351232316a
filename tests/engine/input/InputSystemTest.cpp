#include "input/InputSystem.h"

#include "VirtualController.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <utility>

TEST(InputSystem, AnswersFromTheSnapshotUntilTheNextOne) {
    vexa::InputSystem input;
    EXPECT_FALSE(input.GetKeyDown(SDL_SCANCODE_SPACE));

    input.SetKeyDown(SDL_SCANCODE_SPACE, true);
    // Level-triggered: asked again in the same or a later frame, still held.
    EXPECT_TRUE(input.GetKeyDown(SDL_SCANCODE_SPACE));
    EXPECT_TRUE(input.GetKeyDown(SDL_SCANCODE_SPACE));
    EXPECT_FALSE(input.GetKeyDown(SDL_SCANCODE_W));

    input.SetKeyDown(SDL_SCANCODE_SPACE, false);
    EXPECT_FALSE(input.GetKeyDown(SDL_SCANCODE_SPACE));
}

TEST(InputSystem, MouseMaskBitsAreStoredUnchanged) {
    vexa::InputSystem input;
    input.SetMouseButtons(SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    const auto& state = input.GetMouseButtonState();
    EXPECT_EQ(state[0], 1);
    EXPECT_EQ(state[1], 0);
    EXPECT_EQ(state[2], 4);
    EXPECT_TRUE(input.GetMouseButtonDown(0));
    EXPECT_FALSE(input.GetMouseButtonDown(1));
    EXPECT_TRUE(input.GetMouseButtonDown(2));
}

TEST(InputSystem, CodesOutsideTheTablesAreNotHeld) {
    vexa::InputSystem input;
    input.SetMouseButtons(SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK);
    EXPECT_FALSE(input.GetMouseButtonDown(3));
    EXPECT_FALSE(input.GetMouseButtonDown(0xFFFFFFFFu));

    input.SetKeyDown(SDL_NUM_SCANCODES - 1, true);
    EXPECT_TRUE(input.GetKeyDown(SDL_NUM_SCANCODES - 1));
    EXPECT_FALSE(input.GetKeyDown(SDL_NUM_SCANCODES));
    EXPECT_FALSE(input.GetKeyDown(1u << 30));
}

TEST(InputSystem, UpdateTakesTheKeyboardAndMouseFromSdl) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    vexa::InputSystem input;
    ASSERT_TRUE(input.Initialize());
    input.SetKeyDown(SDL_SCANCODE_SPACE, true);
    input.SetMouseButtons(SDL_BUTTON_LMASK);

    // Nothing is held on SDL's side, so a real snapshot clears what the seam set.
    input.Update();
    EXPECT_FALSE(input.GetKeyDown(SDL_SCANCODE_SPACE));
    EXPECT_FALSE(input.GetMouseButtonDown(0));

    // A request to close is taken off the queue and ignored.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    input.Update();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 0);
    SDL_Quit();
}

// Assertions are compiled into the debug and sanitizer builds only.
TEST(InputSystemDeathTest, SettingAKeyOutsideTheTableStopsTheProgram) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of this build";
#else
    vexa::InputSystem input;
    EXPECT_DEATH(input.SetKeyDown(SDL_NUM_SCANCODES, true), "takes an SDL scancode");
#endif
}

TEST(InputSystem, APressIsSeenInTheFirstSnapshotThatHoldsTheKeyOnly) {
    vexa::InputSystem input;
    input.SetKeyDown(SDL_SCANCODE_P, true);
    EXPECT_TRUE(input.GetKeyPressed(SDL_SCANCODE_P));
    EXPECT_FALSE(input.GetKeyPressed(SDL_SCANCODE_M));

    // Still held a frame later: held, but no new press.
    input.EndSnapshot();
    EXPECT_TRUE(input.GetKeyDown(SDL_SCANCODE_P));
    EXPECT_FALSE(input.GetKeyPressed(SDL_SCANCODE_P));

    input.SetKeyDown(SDL_SCANCODE_P, false);
    input.EndSnapshot();
    EXPECT_FALSE(input.GetKeyPressed(SDL_SCANCODE_P));
    input.SetKeyDown(SDL_SCANCODE_P, true);
    EXPECT_TRUE(input.GetKeyPressed(SDL_SCANCODE_P));
    EXPECT_FALSE(input.GetKeyPressed(SDL_NUM_SCANCODES));
}

TEST(InputSystem, ControllerButtonsPressOnceAndSticksIgnoreTheirDeadZone) {
    vexa::InputSystem input;
    input.SetControllerButton(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_START));
    EXPECT_TRUE(input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_START));
    input.EndSnapshot();
    EXPECT_TRUE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_START));
    EXPECT_FALSE(input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_START));
    EXPECT_FALSE(input.GetControllerButtonDown(-1));
    EXPECT_FALSE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_MAX));

    const int axis = SDL_CONTROLLER_AXIS_LEFTY;
    input.SetControllerAxis(axis, vexa::InputSystem::kDeadZone);
    EXPECT_EQ(input.GetControllerAxis(axis), 0.0f);
    input.SetControllerAxis(axis, -vexa::InputSystem::kDeadZone);
    EXPECT_EQ(input.GetControllerAxis(axis), 0.0f);
    input.SetControllerAxis(axis, vexa::InputSystem::kDeadZone + 1);
    EXPECT_GT(input.GetControllerAxis(axis), 0.0f);
    input.SetControllerAxis(axis, -32768);
    EXPECT_EQ(input.GetControllerAxis(axis), -1.0f);
    input.SetControllerAxis(axis, 32767);
    EXPECT_EQ(input.GetControllerAxis(axis), 1.0f);
    EXPECT_EQ(input.GetControllerAxis(SDL_CONTROLLER_AXIS_MAX), 0.0f);
}

namespace {

SDL_Joystick* openedJoystick(SDL_JoystickID id) {
    return SDL_JoystickFromInstanceID(id);
}

void detachVirtualController(SDL_JoystickID id) {
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
    }
}

void pushWindowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    SDL_PushEvent(&event);
}

}  // namespace

TEST(InputSystem, ControllersPluggedInBeforeOrDuringPlayAllCountUntilUnplugged) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const SDL_JoystickID first = testing_support::AttachVirtualController();
    ASSERT_GE(first, 0) << SDL_GetError();
    {
        vexa::InputSystem input;
        ASSERT_TRUE(input.Initialize());
        input.Update();
        EXPECT_EQ(input.GetControllerCount(), 1);

        // Plugged in while the game runs: seen from the next frame on.
        const SDL_JoystickID second = testing_support::AttachVirtualController();
        ASSERT_GE(second, 0) << SDL_GetError();
        input.Update();
        ASSERT_EQ(input.GetControllerCount(), 2);

        // Either controller's buttons and sticks count, both at once.
        SDL_JoystickSetVirtualButton(openedJoystick(first), SDL_CONTROLLER_BUTTON_A, 1);
        SDL_JoystickSetVirtualAxis(openedJoystick(second), SDL_CONTROLLER_AXIS_LEFTY, -30000);
        input.Update();
        EXPECT_TRUE(input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_A));
        EXPECT_FALSE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_B));
        EXPECT_LT(input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY), -0.5f);
        input.Update();
        EXPECT_TRUE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_A));
        EXPECT_FALSE(input.GetControllerButtonPressed(SDL_CONTROLLER_BUTTON_A));

        // Unplugged mid-game: its stick no longer counts, the other's button does.
        detachVirtualController(second);
        input.Update();
        EXPECT_EQ(input.GetControllerCount(), 1);
        EXPECT_EQ(input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY), 0.0f);
        EXPECT_TRUE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_A));

        detachVirtualController(first);
        input.Update();
        EXPECT_EQ(input.GetControllerCount(), 0);
        EXPECT_FALSE(input.GetControllerButtonDown(SDL_CONTROLLER_BUTTON_A));
    }
    SDL_Quit();
}

TEST(InputSystem, LosingTheWindowAsksForAPauseForOneFrame) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        vexa::InputSystem input;
        ASSERT_TRUE(input.Initialize());
        input.Update();
        EXPECT_FALSE(input.GetPauseRequested());

        for (Uint8 away :
             {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_HIDDEN}) {
            pushWindowEvent(away);
            input.Update();
            EXPECT_TRUE(input.GetPauseRequested()) << "window event " << int{away};
            input.Update();
            EXPECT_FALSE(input.GetPauseRequested()) << "window event " << int{away};
        }

        // Coming back is no reason to pause, nor to resume.
        for (Uint8 back : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_RESTORED,
                           SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_RESIZED}) {
            pushWindowEvent(back);
            input.Update();
            EXPECT_FALSE(input.GetPauseRequested()) << "window event " << int{back};
        }

        // What a page's own script asks for is seen the same way.
        input.RequestPause();
        input.Update();
        EXPECT_TRUE(input.GetPauseRequested());
    }
    // Gone with its input system: a later window event reaches no dead object.
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Quit();
}

void pushKey(Uint32 type, SDL_Scancode scancode, bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.scancode = scancode;
    event.key.repeat = repeat ? 1 : 0;
    SDL_PushEvent(&event);
}

// Waits until SDL's clock, which stamps the events, has moved on by `ms`.
void waitTicks(Uint32 ms) {
    const Uint32 until = SDL_GetTicks() + ms;
    while (!SDL_TICKS_PASSED(SDL_GetTicks(), until)) SDL_Delay(5);
}

// On X11, P held in another window while the focus came back resumed the run:
// the held key reaches the window by its key repeat, as a new press.
TEST(InputSystem, AKeyThatWentDownElsewhereIsNoPressUntilPressedAgain) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        vexa::InputSystem input;
        ASSERT_TRUE(input.Initialize());
        const auto letGo = [&input](SDL_Scancode key) {
            pushKey(SDL_KEYUP, key);
            input.SetKeyDown(key, false);
            input.EndSnapshot();
        };
        const auto pressAndLetGo = [&](SDL_Scancode key) {
            input.SetKeyDown(key, true);
            const bool pressed = input.GetKeyPressed(key);
            letGo(key);
            return pressed;
        };

        // A key that reaches the window while SDL thinks it unfocused was
        // pressed for it (the X server gives keys to the window under the
        // pointer when no window has the focus).
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        input.EndSnapshot();
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_M);
        EXPECT_TRUE(pressAndLetGo(SDL_SCANCODE_M));

        // Down just as the window came back and repeating at once: held elsewhere.
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_P);
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_P, true);
        input.EndSnapshot();
        input.SetKeyDown(SDL_SCANCODE_P, true);
        EXPECT_TRUE(input.GetKeyDown(SDL_SCANCODE_P));
        EXPECT_FALSE(input.GetKeyPressed(SDL_SCANCODE_P));
        // However long it stays held.
        waitTicks(vexa::InputSystem::kFreshPressMs);
        input.Update();
        input.SetKeyDown(SDL_SCANCODE_P, true);
        EXPECT_FALSE(input.GetKeyPressed(SDL_SCANCODE_P));

        // Once let go, it is pressed as usual.
        letGo(SDL_SCANCODE_P);
        EXPECT_TRUE(pressAndLetGo(SDL_SCANCODE_P));

        // A press that begins in the window once it has settled counts at once.
        waitTicks(vexa::InputSystem::kFocusSettleMs);
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_P);
        EXPECT_TRUE(pressAndLetGo(SDL_SCANCODE_P));
    }
    SDL_Quit();
}

// A player who clicked into the window and pressed P at once had to press it
// twice; a phone's first tap could miss the start.
TEST(InputSystem, AFreshPressJustAfterTheFocusReturnsCountsOnce) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        vexa::InputSystem input;
        ASSERT_TRUE(input.Initialize());
        // One frame with P held or not: whether it saw a press.
        const auto frame = [&input](bool held) {
            input.Update();
            input.SetKeyDown(SDL_SCANCODE_P, held);
            return input.GetKeyPressed(SDL_SCANCODE_P);
        };

        // Held, and no key repeat comes soon: pressed, once.
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_P);
        int presses = frame(true);
        waitTicks(vexa::InputSystem::kFreshPressMs);
        presses += frame(true);
        presses += frame(true);
        EXPECT_EQ(presses, 1);

        // A tap let go before any repeat could come: pressed in the next frame.
        pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        pushKey(SDL_KEYDOWN, SDL_SCANCODE_P);
        pushKey(SDL_KEYUP, SDL_SCANCODE_P);
        EXPECT_TRUE(frame(false));
        EXPECT_FALSE(frame(false));
    }
    SDL_Quit();
}

namespace {

std::pair<int, int> g_motors;

int SDLCALL runMotors(void* /*userdata*/, Uint16 low, Uint16 high) {
    g_motors = {low, high};
    return 0;
}

}  // namespace

TEST(InputSystem, ARumbleReachesAControllersMotorsAndWithoutOneIsHarmless) {
    EXPECT_EQ(vexa::InputSystem().Rumble(0x4000, 0xC000, 200), 0);

    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.Rumble = &runMotors;
    ASSERT_GE(SDL_JoystickAttachVirtualEx(&desc), 0) << SDL_GetError();
    {
        vexa::InputSystem started;
        ASSERT_TRUE(started.Initialize());
        started.Update();
        ASSERT_EQ(started.GetControllerCount(), 1);
        EXPECT_EQ(started.Rumble(0x4000, 0xC000, 200), 1);
        EXPECT_EQ(g_motors, std::make_pair(0x4000, 0xC000));
    }
    SDL_Quit();
}
