#include "GameTest.h"
#include "Palette.h"
#include "VirtualController.h"

#include "core/Color.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using testing_support::Rgba;

class LookTest : public GameTest {
protected:
    // The picture of the game as it stands, drawn without stepping it.
    std::vector<Rgba> Picture() {
        canvas->Clear();
        game->Draw(vexa::g_renderer);
        std::vector<Rgba> pixels;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) pixels.push_back(canvas->Pixel(x, y));
        return pixels;
    }
    static int Count(const std::vector<Rgba>& picture, const vexa::Color& colour) {
        const auto byte = [](float v) { return static_cast<std::uint8_t>(vexa::Color::ToInt(v)); };
        const Rgba wanted{byte(colour.r), byte(colour.g), byte(colour.b), 255};
        int count = 0;
        for (const Rgba& pixel : picture) count += pixel == wanted;
        return count;
    }
};

}  // namespace

TEST_F(LookTest, APaletteRecoloursThePlayAndStandardDrawsItAsEver) {
    StartPlaying();
    AddAsteroidAt(vexa::Vector2(400, 300));
    Step(kFrame);
    const std::uint64_t digest = game->StateDigest();
    const std::vector<Rgba> standard = Picture();
    const Palette& usual = GetPalette(PaletteName::Standard);
    ASSERT_GT(Count(standard, usual.ship), 20);
    ASSERT_GT(Count(standard, usual.asteroid), 20);

    for (const PaletteName name : {PaletteName::RedGreen, PaletteName::BlueYellow}) {
        game->SetLook(name, 100, false);
        const std::vector<Rgba> recoloured = Picture();
        const Palette& palette = GetPalette(name);
        EXPECT_EQ(Count(recoloured, palette.ship), Count(standard, usual.ship));
        EXPECT_GT(Count(recoloured, palette.asteroid), 20);
        EXPECT_EQ(Count(recoloured, usual.ship), 0) << FormatPaletteName(name);
    }
    // High contrast: the same lines, thicker.
    game->SetLook(PaletteName::HighContrast, 100, false);
    const std::vector<Rgba> thick = Picture();
    const Palette& high = GetPalette(PaletteName::HighContrast);
    EXPECT_GT(Count(thick, high.ship), Count(standard, usual.ship) * 3 / 2);

    game->SetLook(PaletteName::Standard, 100, false);
    EXPECT_TRUE(Picture() == standard) << "back at the standard look, the picture changed";
    EXPECT_EQ(game->StateDigest(), digest) << "a look changed the rules' state";
}

TEST_F(LookTest, LargerTextKeepsTheScoreAndTheRecordWholeAndApart) {
    dir.Write("highscore.txt", "999999");
    StartPlaying();
    // Through the settings, as the frame loop applies them.
    runner->GetSettings().textSize = 150;
    Step(kFrame);
    Picture();
    // The score stands at the left, the record at the right; each is taller
    // than at 100 % and neither reaches the other nor the picture's edge.
    const int scoreRows = WhiteIn(0, 44, 60, 20);
    EXPECT_GT(scoreRows, 0) << "the score is no larger than usual";
    EXPECT_GT(WhiteIn(400, 44, 400, 20), 0) << "the record is no larger than usual";
    EXPECT_EQ(WhiteIn(200, 0, 200, 70), 0) << "the score and the record run together";
    // Every digit of the record is drawn: its box ends at its edge.
    int right = 0;
    for (int x = 0; x < 800; ++x)
        if (WhiteIn(x, 10, 1, 50) > 0) right = x;
    EXPECT_LE(right, 790);
    EXPECT_GE(right, 770);
}

TEST_F(LookTest, ReducedMotionHoldsTheStarsStillInThePictureOnly) {
    // Stars of their own colour, drawn on the title screen.
    runner->GetSettings().palette = PaletteName::RedGreen;
    runner->GetSettings().reducedMotion = true;
    Step(kFrame);
    EXPECT_TRUE(vexa::g_particleSystem.GetReducedMotion()) << "explosions would still spark";
    Step(kFrame);
    const std::vector<Rgba> first = Picture();
    const vexa::Vector2 star = game->GetStars().front().position;
    Steps(30, kFrame);
    EXPECT_NE(game->GetStars().front().position.x, star.x) << "the stars stopped in the rules";
    EXPECT_TRUE(Picture() == first) << "the stars moved in the picture";

    game->SetLook(PaletteName::RedGreen, 100, false);
    EXPECT_FALSE(Picture() == first);
    EXPECT_FALSE(vexa::g_particleSystem.GetReducedMotion());
}

namespace {

int g_rumbles = 0;

int SDLCALL countRumble(void* /*userdata*/, Uint16 low, Uint16 high) {
    // SDL stops the motors itself once the time asked for is up.
    if (low != 0 || high != 0) ++g_rumbles;
    return 0;
}

}  // namespace

TEST_F(LookTest, AHitRumblesTheControllerUnlessHapticsAreOff) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const SDL_JoystickID id = testing_support::AttachVirtualController(&countRumble);
    ASSERT_GE(id, 0) << SDL_GetError();
    vexa::g_inputSystem.Update();
    ASSERT_EQ(vexa::g_inputSystem.GetControllerCount(), 1);

    for (const bool haptics : {false, true}) {
        g_rumbles = 0;
        runner->GetSettings().haptics = haptics;
        StartPlaying();
        Steps(10, kFrame);
        EXPECT_EQ(g_rumbles, 0) << "a rumble before any hit";
        CrashAndWaitForGameOver();
        EXPECT_EQ(g_rumbles, haptics ? 1 : 0) << (haptics ? "on" : "off");
        Hold(SDL_SCANCODE_SPACE, true);
        Step(kFrame);
        Hold(SDL_SCANCODE_SPACE, false);
        Step(kFrame);
    }
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
    }
    vexa::g_inputSystem.Update();
}
