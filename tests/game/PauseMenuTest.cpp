#include "Controls.h"
#include "GameTest.h"
#include "PauseMenu.h"

#include <SDL.h>

#include <gtest/gtest.h>

namespace {

// Drives the pause menu through the real frame with the input seam: each
// press is one frame down and one frame up, as a player's would be.
class PauseMenuTest : public GameTest {
protected:
    void TearDown() override {
        for (std::uint32_t key : {SDL_SCANCODE_P, SDL_SCANCODE_I, SDL_SCANCODE_RETURN}) {
            Hold(key, false);
        }
        for (int button = 0; button < vexa::InputSystem::kControllerButtons; ++button) {
            vexa::g_inputSystem.SetControllerButton(button, false);
        }
        vexa::g_inputSystem.SetMouseButtons(0);
        vexa::g_inputSystem.EndSnapshot();
        GameTest::TearDown();
    }

    // True while the program goes on.
    bool Run() {
        g_clock.Advance(kFrame);
        runner->ReadDevices(false);
        const bool on = runner->Run();
        vexa::g_inputSystem.EndSnapshot();
        return on;
    }
    bool Press(std::uint32_t key) {
        Hold(key, true);
        const bool on = Run();
        Hold(key, false);
        return Run() && on;
    }
    bool PressButton(int button) {
        vexa::g_inputSystem.SetControllerButton(button, true);
        const bool on = Run();
        vexa::g_inputSystem.SetControllerButton(button, false);
        return Run() && on;
    }
    void Click(int x, int y) {
        vexa::g_inputSystem.SetMousePosition(x, y);
        vexa::g_inputSystem.SetMouseButtons(SDL_BUTTON_LMASK);
        Run();
        vexa::g_inputSystem.SetMouseButtons(0);
        Run();
    }
    void PauseARun() {
        StartPlaying();
        Press(SDL_SCANCODE_P);
        ASSERT_TRUE(game->m_pause.IsPaused());
        ASSERT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Resume);
    }
    const Settings& Chosen() const { return runner->GetSettings(); }
};

}  // namespace

TEST_F(PauseMenuTest, KeysMoveTheHighlightChangeValuesAndResumeTheRun) {
    PauseARun();
    const float shipY = Ship()->m_transform.position.y;
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_LEFT);
    Press(SDL_SCANCODE_LEFT);
    EXPECT_EQ(Chosen().musicVolume, 80);
    Press(SDL_SCANCODE_S);  // the down key as bound moves too
    Press(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Chosen().effectsVolume, 0) << "choosing 100 % goes round to 0";
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RIGHT);
    EXPECT_FALSE(Chosen().pauseOnFocusLoss);
    EXPECT_EQ(Chosen().musicVolume, 80);
    EXPECT_TRUE(game->m_pause.IsPaused());
    EXPECT_EQ(Ship()->m_transform.position.y, shipY) << "the run moved while paused";

    // Up from Resume goes round to Quit; back down to Resume, Space chooses it.
    for (int i = 0; i < PauseMenu::FocusPause + 1; ++i) Press(SDL_SCANCODE_UP);
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Quit);
    Press(SDL_SCANCODE_DOWN);
    ASSERT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Resume);
    Press(SDL_SCANCODE_SPACE);
    EXPECT_FALSE(game->m_pause.IsPaused());

    // P pauses again with Resume highlighted, and P resumes.
    Press(SDL_SCANCODE_P);
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Resume);
    Press(SDL_SCANCODE_P);
    EXPECT_FALSE(game->m_pause.IsPaused());
}

TEST_F(PauseMenuTest, QuitEndsTheProgramAsEscapeDoes) {
    PauseARun();
    Press(SDL_SCANCODE_UP);
    ASSERT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Quit);
    Hold(SDL_SCANCODE_RETURN, true);
    EXPECT_FALSE(Run()) << "Quit did not end the program";
}

TEST_F(PauseMenuTest, UpMovedToAnotherKeyMovesTheShipAndAKeyInUseIsSwapped) {
    PauseARun();
    for (int i = 0; i < PauseMenu::ControlsPage; ++i) Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    ASSERT_TRUE(runner->GetMenu().OnControlsPage());
    int x = 0;
    int backY = 0;
    ASSERT_TRUE(runner->GetMenu().RowPlace(PauseMenu::kBackRow, x, backY));
    Press(SDL_SCANCODE_RETURN);
    ASSERT_EQ(runner->GetMenu().GetWaitingRow(), Bindings::Up);
    // The key being bound does nothing else: P here neither resumes nor is refused.
    Press(SDL_SCANCODE_P);
    EXPECT_TRUE(game->m_pause.IsPaused());
    EXPECT_EQ(Chosen().bindings.keys[Bindings::Up], SDL_SCANCODE_P);
    EXPECT_EQ(Chosen().bindings.keys[Bindings::Pause], SDL_SCANCODE_W);
    EXPECT_NE(runner->GetMenu().GetNotice().find("SWAPPED"), std::string::npos);
    int noticedY = 0;
    ASSERT_TRUE(runner->GetMenu().RowPlace(PauseMenu::kBackRow, x, noticedY));
    EXPECT_EQ(noticedY, backY) << "the notice moved the rows";

    // Enter is never free: refused, the binding kept.
    Press(SDL_SCANCODE_RETURN);
    Press(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Chosen().bindings.keys[Bindings::Up], SDL_SCANCODE_P);
    EXPECT_NE(runner->GetMenu().GetNotice().find("CANNOT"), std::string::npos);

    // Then I for up; pause back on P.
    Press(SDL_SCANCODE_RETURN);
    Press(SDL_SCANCODE_I);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    Press(SDL_SCANCODE_P);
    EXPECT_EQ(Chosen().bindings.keys[Bindings::Up], SDL_SCANCODE_I);
    EXPECT_EQ(Chosen().bindings.keys[Bindings::Pause], SDL_SCANCODE_P);

    Press(SDL_SCANCODE_P);
    ASSERT_FALSE(game->m_pause.IsPaused());
    const float y = Ship()->m_transform.position.y;
    Hold(SDL_SCANCODE_I, true);
    Step(kFrame);
    Hold(SDL_SCANCODE_I, false);
    EXPECT_NEAR(Ship()->m_transform.position.y, y - 200.0f * kFrame, 0.01f);
    Hold(SDL_SCANCODE_W, true);
    Step(kFrame);
    Hold(SDL_SCANCODE_W, false);
    EXPECT_NEAR(Ship()->m_transform.position.y, y - 200.0f * kFrame, 0.01f)
        << "W still moves the ship";

    // Reset to defaults.
    Press(SDL_SCANCODE_P);
    for (int i = 0; i < PauseMenu::ControlsPage; ++i) Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    for (int i = 0; i < PauseMenu::kResetRow; ++i) Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Chosen().bindings, Bindings{});
}

TEST_F(PauseMenuTest, AControllerGoesThroughTheMenuAndQuits) {
    PauseARun();
    PressButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    PressButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    EXPECT_EQ(Chosen().musicVolume, 100);
    PressButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    EXPECT_EQ(Chosen().musicVolume, 90);
    // Into the controls and back out with B; B on the first page resumes.
    for (int i = 1; i < PauseMenu::ControlsPage; ++i) PressButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    PressButton(SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(runner->GetMenu().OnControlsPage());
    PressButton(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(runner->GetMenu().OnControlsPage());
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::ControlsPage);
    PressButton(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(game->m_pause.IsPaused());

    PressButton(SDL_CONTROLLER_BUTTON_START);
    ASSERT_TRUE(game->m_pause.IsPaused());
    PressButton(SDL_CONTROLLER_BUTTON_DPAD_UP);
    vexa::g_inputSystem.SetControllerButton(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_FALSE(Run()) << "Quit by A did not end the program";
}

TEST_F(PauseMenuTest, PointingHighlightsARowAndAClickChoosesIt) {
    PauseARun();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(runner->GetMenu().RowPlace(PauseMenu::FullScreen, x, y));
    vexa::g_inputSystem.SetMousePosition(x, y);
    Run();
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::FullScreen);
    ASSERT_TRUE(runner->GetMenu().RowPlace(PauseMenu::FocusPause, x, y));
    vexa::g_inputSystem.SetMousePosition(x, y);
    vexa::g_inputSystem.SetMouseButtons(SDL_BUTTON_LMASK);
    Run();
    vexa::g_inputSystem.SetMouseButtons(0);
    Run();
    EXPECT_FALSE(Chosen().pauseOnFocusLoss);
    EXPECT_TRUE(game->m_pause.IsPaused());
}

TEST_F(PauseMenuTest, AClickOnAVolumeMovesItTheWayOfTheSideClickedAndStopsAtItsEnds) {
    PauseARun();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(runner->GetMenu().ValuePlace(PauseMenu::MusicVolume, x, y));
    for (int side : {1, -1, -1, 1}) Click(x + 10 * side, y);
    EXPECT_EQ(Chosen().musicVolume, 90) << "raising 100 % went round, or a side was taken wrong";
    // Its label only highlights the row.
    ASSERT_TRUE(runner->GetMenu().RowPlace(PauseMenu::EffectsVolume, x, y));
    Click(x, y);
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::EffectsVolume);
    EXPECT_EQ(Chosen().effectsVolume, 100);
}

TEST_F(PauseMenuTest, PauseOnTheTitleScreenOpensTheOptionsWithoutResume) {
    Run();
    Press(SDL_SCANCODE_P);
    ASSERT_TRUE(game->m_pause.IsPaused());
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::MusicVolume);
    Press(SDL_SCANCODE_UP);
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::Quit) << "up from the first row";

    // Start closes it too, and held on, starts no run.
    vexa::g_inputSystem.SetControllerButton(SDL_CONTROLLER_BUTTON_START, true);
    Run();
    Run();
    EXPECT_FALSE(game->m_pause.IsPaused());
    EXPECT_EQ(game->GetState(), K_AsteroidField::TitleScreen);
}

TEST_F(PauseMenuTest, TheAccessibilityPageStepsEachChoiceAndGoesBack) {
    PauseARun();
    while (runner->GetMenu().GetCursor() != PauseMenu::AccessibilityPage) Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    ASSERT_TRUE(runner->GetMenu().OnAccessibilityPage());
    ASSERT_EQ(runner->GetMenu().GetCursor(), PauseMenu::PaletteRow);

    // The palettes go round either way; sizes and speeds stop at their ends.
    Press(SDL_SCANCODE_LEFT);
    EXPECT_EQ(Chosen().palette, PaletteName::HighContrast);
    Press(SDL_SCANCODE_RIGHT);
    Press(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(Chosen().palette, PaletteName::RedGreen);
    Press(SDL_SCANCODE_DOWN);
    for (int i = 0; i < 3; ++i) Press(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(Chosen().textSize, 150);
    Press(SDL_SCANCODE_DOWN);
    ASSERT_FALSE(Chosen().reducedMotion.has_value());
    Press(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Chosen().reducedMotion, std::optional<bool>(true));
    EXPECT_TRUE(game->GetReducedMotion()) << "the game was not told";
    Press(SDL_SCANCODE_DOWN);
    for (int i = 0; i < 6; ++i) Press(SDL_SCANCODE_LEFT);
    EXPECT_EQ(Chosen().gameSpeed, Settings::kSlowestGameSpeed);
    for (int i = 0; i < 6; ++i) Press(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(Chosen().gameSpeed, 100);
    Press(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Chosen().gameSpeed, Settings::kSlowestGameSpeed) << "choosing goes round";
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RIGHT);
    EXPECT_TRUE(Chosen().toggleMovement);
    Press(SDL_SCANCODE_DOWN);
    Press(SDL_SCANCODE_RETURN);
    EXPECT_FALSE(Chosen().haptics);
    EXPECT_EQ(&game->GetPaletteInUse(), &GetPalette(PaletteName::RedGreen));
    EXPECT_EQ(game->GetTextSize(), 150);

    PressButton(SDL_CONTROLLER_BUTTON_B);
    EXPECT_FALSE(runner->GetMenu().OnAccessibilityPage());
    EXPECT_EQ(runner->GetMenu().GetCursor(), PauseMenu::AccessibilityPage);
    EXPECT_TRUE(game->m_pause.IsPaused());
}

TEST_F(PauseMenuTest, LargerTextFitsEachPageBelowTheScoreAndTheRecord) {
    runner->GetSettings().textSize = 150;
    PauseARun();
    // The frozen game's top line, as lit under the first page (which is short).
    const auto litAtTop = [this] {
        int lit = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 800; ++x) lit += canvas->IsLit(x, y);
        return lit;
    };
    const int topLine = litAtTop();
    ASSERT_GT(topLine, 500);
    for (const int page : {PauseMenu::AccessibilityPage, PauseMenu::ControlsPage}) {
        int x = 0;
        int y = 0;
        ASSERT_TRUE(runner->GetMenu().RowPlace(page, x, y));
        Click(x, y);
        const bool controls = runner->GetMenu().OnControlsPage();
        ASSERT_TRUE(controls || runner->GetMenu().OnAccessibilityPage());
        int bottom = 0;
        ASSERT_TRUE(runner->GetMenu().RowPlace(
            controls ? PauseMenu::kBackRow : PauseMenu::AccessibilityBackRow, x, bottom));
        EXPECT_EQ(litAtTop(), topLine) << "the panel covers the score or the record";
        EXPECT_LT(bottom, 600 - 16) << "the last row leaves the picture";
        // The accessibility page keeps nearly the size asked for.
        EXPECT_GE(runner->GetMenu().GetDrawnTextSize(), controls ? 100 : 140);
        Press(SDL_SCANCODE_BACKSPACE);
    }
}

// A phone in landscape shows the picture some 520 CSS px wide: the rows stand
// 44 CSS px apart, and the first page, no longer fitting, scrolls.
TEST_F(PauseMenuTest, OnAPhoneRowsStandAFingerApartAndAPageThatDoesNotFitScrolls) {
    Run();
    constexpr float kPhoneScale = 0.65f;
    PauseMenu menu;
    menu.Initialize(game->GetFont());
    menu.SetFingerScale(kPhoneScale);
    menu.Open();
    Settings settings;
    const Controls controls(vexa::g_inputSystem, settings.bindings);
    const auto frame = [&] {
        menu.Update(controls, vexa::g_inputSystem, settings);
        menu.Draw(vexa::g_renderer, settings);
        vexa::g_inputSystem.EndSnapshot();
    };
    const auto shown = [&](int row) {
        int x = 0;
        int y = 0;
        return menu.RowPlace(row, x, y);
    };
    frame();
    const int pitch = menu.GetRowPitch();
    EXPECT_GE(static_cast<float>(pitch) * kPhoneScale, 44.0f);
    int x = 0;
    int y = 0;
    EXPECT_FALSE(menu.MorePlace(false, x, y)) << "more above the first row";
    ASSERT_TRUE(menu.MorePlace(true, x, y)) << "no sign of more below";
    ASSERT_FALSE(shown(PauseMenu::Quit));

    // Down to the last row and round again: the highlighted row is always shown.
    for (int step = 0; step < 2 * (PauseMenu::Quit + 1); ++step) {
        Hold(SDL_SCANCODE_DOWN, true);
        frame();
        Hold(SDL_SCANCODE_DOWN, false);
        frame();
        EXPECT_TRUE(shown(menu.GetCursor())) << "row " << menu.GetCursor() << " is hidden";
        if (menu.GetCursor() == PauseMenu::Quit) {
            EXPECT_TRUE(menu.MorePlace(false, x, y));
            EXPECT_FALSE(shown(PauseMenu::Resume));
        }
    }

    // Each row shown is its whole pitch tall to the pointer, its neighbours' edges included.
    for (int row = PauseMenu::Resume; row <= PauseMenu::Quit; ++row) {
        if (!menu.RowPlace(row, x, y)) continue;
        for (const int edge : {y - pitch / 2, y + pitch / 2 - 1}) {
            vexa::g_inputSystem.SetMousePosition(x, edge);
            frame();
            EXPECT_EQ(menu.GetCursor(), row) << "at y " << edge;
        }
    }

    // A tap on the sign of more above scrolls up, the highlight with it.
    for (int tap = 0; tap <= PauseMenu::Quit && menu.MorePlace(false, x, y); ++tap) {
        vexa::g_inputSystem.SetMousePosition(x, y);
        vexa::g_inputSystem.SetMouseButtons(SDL_BUTTON_LMASK);
        frame();
        vexa::g_inputSystem.SetMouseButtons(0);
        frame();
        EXPECT_TRUE(shown(menu.GetCursor()));
    }
    EXPECT_TRUE(shown(PauseMenu::Resume)) << "the signs did not scroll back to the top";
    EXPECT_TRUE(menu.MorePlace(true, x, y));
    EXPECT_EQ(settings.musicVolume, Settings().musicVolume) << "a tap on a sign changed a row";
}
