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

    game->SetLook(PaletteName::RedGreen, 100, false);
    const std::vector<Rgba> recoloured = Picture();
    const Palette& palette = GetPalette(PaletteName::RedGreen);
    EXPECT_EQ(Count(recoloured, palette.ship), Count(standard, usual.ship));
    EXPECT_GT(Count(recoloured, palette.asteroid), 20);
    EXPECT_EQ(Count(recoloured, usual.ship), 0);

    game->SetLook(PaletteName::Standard, 100, false);
    EXPECT_TRUE(Picture() == standard) << "back at the standard look, the picture changed";
    EXPECT_EQ(game->StateDigest(), digest) << "a look changed the rules' state";
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
