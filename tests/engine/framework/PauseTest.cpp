#include "framework/Pause.h"

#include <gtest/gtest.h>

using Change = vexa::Pause::Change;

TEST(Pause, OnlyARunInProgressPauses) {
    vexa::Pause pause;
    EXPECT_EQ(pause.Update(false, true, false), Change::None);
    EXPECT_EQ(pause.Update(false, false, true), Change::None);
    EXPECT_EQ(pause.Update(false, true, true), Change::None);
    EXPECT_FALSE(pause.IsPaused());
    EXPECT_EQ(pause.Update(true, false, false), Change::None);
    EXPECT_FALSE(pause.IsPaused());
}

TEST(Pause, TheToggleBothPausesAndResumes) {
    vexa::Pause pause;
    EXPECT_EQ(pause.Update(true, true, false), Change::Paused);
    EXPECT_TRUE(pause.IsPaused());
    EXPECT_EQ(pause.Update(true, false, false), Change::None);
    EXPECT_TRUE(pause.IsPaused());
    EXPECT_EQ(pause.Update(true, true, false), Change::Resumed);
    EXPECT_FALSE(pause.IsPaused());
}

TEST(Pause, LeavingTheWindowPausesAndComingBackDoesNotResume) {
    vexa::Pause pause;
    EXPECT_EQ(pause.Update(true, false, true), Change::Paused);
    // Losing the window again while paused changes nothing.
    EXPECT_EQ(pause.Update(true, false, true), Change::None);
    for (int frame = 0; frame < 10; ++frame)
        EXPECT_EQ(pause.Update(true, false, false), Change::None);
    EXPECT_TRUE(pause.IsPaused());
    // Nor does a toggle in the frame the window is lost: nobody would see the game.
    EXPECT_EQ(pause.Update(true, true, true), Change::None);
    EXPECT_TRUE(pause.IsPaused());
    EXPECT_EQ(pause.Update(true, true, false), Change::Resumed);
    // Going away in the frame the toggle pauses is one pause, not two changes.
    EXPECT_EQ(pause.Update(true, true, true), Change::Paused);
    EXPECT_TRUE(pause.IsPaused());
}
