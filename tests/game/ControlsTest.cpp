#include "Controls.h"

#include "input/InputSystem.h"

#include <SDL.h>

#include <gtest/gtest.h>

namespace {

// A fresh frame of input with nothing held.
struct Frame {
    vexa::InputSystem input;
    Controls controls{input};

    Frame() { input.SetKeyDown(SDL_SCANCODE_UNKNOWN, false); }
    void Next() { input.EndSnapshot(); }
};

}  // namespace

TEST(Controls, KeysArrowsDpadAndStickMoveTheShipAlike) {
    for (auto key : {SDL_SCANCODE_W, SDL_SCANCODE_UP}) {
        Frame f;
        f.input.SetKeyDown(key, true);
        EXPECT_TRUE(f.controls.Up()) << key;
        EXPECT_FALSE(f.controls.Down()) << key;
    }
    for (auto key : {SDL_SCANCODE_S, SDL_SCANCODE_DOWN}) {
        Frame f;
        f.input.SetKeyDown(key, true);
        EXPECT_TRUE(f.controls.Down()) << key;
        EXPECT_FALSE(f.controls.Up()) << key;
    }
    {
        Frame f;
        f.input.SetControllerButton(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
        EXPECT_TRUE(f.controls.Up());
        f.input.SetControllerButton(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
        f.input.SetControllerButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        EXPECT_TRUE(f.controls.Down());
        EXPECT_FALSE(f.controls.Up());
    }
    {
        // The stick's y axis points down; a light touch inside the dead zone is no move.
        Frame f;
        f.input.SetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY, -vexa::InputSystem::kDeadZone);
        EXPECT_FALSE(f.controls.Up());
        f.input.SetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
        EXPECT_TRUE(f.controls.Up());
        f.input.SetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY, 20000);
        EXPECT_TRUE(f.controls.Down());
        EXPECT_FALSE(f.controls.Up());
        // Only the left stick steers.
        f.input.SetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY, 0);
        f.input.SetControllerAxis(SDL_CONTROLLER_AXIS_RIGHTY, -20000);
        EXPECT_FALSE(f.controls.Up());
    }
}

TEST(Controls, SpaceSouthButtonAndStartConfirmWhileHeld) {
    Frame f;
    EXPECT_FALSE(f.controls.Confirm());
    f.input.SetKeyDown(SDL_SCANCODE_SPACE, true);
    EXPECT_TRUE(f.controls.Confirm());
    f.input.SetKeyDown(SDL_SCANCODE_SPACE, false);
    for (int button : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_START}) {
        f.input.SetControllerButton(button, true);
        f.Next();
        EXPECT_TRUE(f.controls.Confirm()) << button;
        f.input.SetControllerButton(button, false);
    }
    f.input.SetControllerButton(SDL_CONTROLLER_BUTTON_B, true);
    f.input.SetKeyDown(SDL_SCANCODE_RETURN, true);
    EXPECT_FALSE(f.controls.Confirm());
}

TEST(Controls, PauseMuteAndFullScreenActOnThePressNotWhileHeld) {
    Frame f;
    f.input.SetKeyDown(SDL_SCANCODE_P, true);
    EXPECT_TRUE(f.controls.TogglePause());
    f.Next();
    EXPECT_FALSE(f.controls.TogglePause());
    f.input.SetKeyDown(SDL_SCANCODE_P, false);

    f.input.SetControllerButton(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(f.controls.TogglePause());
    f.Next();
    EXPECT_FALSE(f.controls.TogglePause());

    f.input.SetKeyDown(SDL_SCANCODE_M, true);
    EXPECT_TRUE(f.controls.ToggleMute());
    EXPECT_FALSE(f.controls.ToggleFullScreen());
    f.Next();
    EXPECT_FALSE(f.controls.ToggleMute());

    f.input.SetKeyDown(SDL_SCANCODE_F11, true);
    EXPECT_TRUE(f.controls.ToggleFullScreen());
    f.Next();
    EXPECT_FALSE(f.controls.ToggleFullScreen());
}

TEST(Controls, EnterTogglesFullScreenOnlyWithAltHeld) {
    for (auto enter : {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER}) {
        Frame f;
        f.input.SetKeyDown(enter, true);
        EXPECT_FALSE(f.controls.ToggleFullScreen()) << "alone";
        f.input.SetKeyDown(enter, false);
        f.Next();

        for (auto alt : {SDL_SCANCODE_LALT, SDL_SCANCODE_RALT}) {
            f.input.SetKeyDown(alt, true);
            f.Next();
            EXPECT_FALSE(f.controls.ToggleFullScreen()) << "Alt alone";
            f.input.SetKeyDown(enter, true);
            EXPECT_TRUE(f.controls.ToggleFullScreen()) << alt;
            f.Next();
            EXPECT_FALSE(f.controls.ToggleFullScreen()) << "held";
            f.input.SetKeyDown(enter, false);
            f.input.SetKeyDown(alt, false);
            f.Next();
        }
        // Nor is Alt+Enter anything else to the game.
        f.input.SetKeyDown(SDL_SCANCODE_LALT, true);
        f.input.SetKeyDown(enter, true);
        EXPECT_FALSE(f.controls.Confirm());
        EXPECT_FALSE(f.controls.TogglePause());
        EXPECT_FALSE(f.controls.ToggleMute());
        EXPECT_FALSE(f.controls.Up() || f.controls.Down());
    }
}

TEST(MovementToggle, APressSetsAWayUntilTheOtherOrTheSameAgain) {
    MovementToggle toggle;
    // Up held, down held, steering, and the way after the frame: a hold from
    // before steering or during a pause is no press; both at once stop.
    const struct {
        bool up, down, steering;
        int moving;
    } frames[] = {{true, false, false, 0},  {true, false, true, 0},  {false, false, true, 0},
                  {true, false, true, 1},   {false, false, true, 1}, {false, true, true, 2},
                  {false, false, false, 2}, {true, false, false, 2}, {false, false, true, 2},
                  {false, true, true, 0},   {false, false, true, 0}, {true, false, true, 1},
                  {false, false, true, 1},  {true, true, true, 0}};
    for (const auto& frame : frames) {
        toggle.Follow(frame.up, frame.down, frame.steering);
        EXPECT_EQ(toggle.Moving(), frame.moving) << &frame - frames;
    }
    toggle.Follow(false, false, true);
    toggle.Follow(false, true, true);
    EXPECT_EQ(toggle.Apply(Controls::kStepUp | Controls::kStepConfirm),
              Controls::kStepDown | Controls::kStepConfirm);
}
