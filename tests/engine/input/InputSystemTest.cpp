#include "input/InputSystem.h"

#include <SDL.h>

#include <gtest/gtest.h>

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
