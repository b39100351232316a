#include "renderer/Font.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include "CapturedStream.h"
#include "SoftwareCanvas.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

using testing_support::Box;
using testing_support::CapturedStream;
using testing_support::Rgba;
using testing_support::SoftwareCanvas;

namespace {

// The game's own font, so the tests need nothing the project does not ship.
const char* const kFontFile = ZAP207_SOURCE_ASSETS "/font.ttf";
const vexa::Color kWhite{1.0f, 1.0f, 1.0f, 1.0f};

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
        m_font = std::make_shared<vexa::Font>(kFontFile, 28);
        ASSERT_TRUE(m_font->IsOpen()) << kFontFile;
    }
    void TearDown() override {
        m_font.reset();
        TTF_Quit();
    }

    std::shared_ptr<vexa::Font> m_font;
};

}  // namespace

TEST_F(TextTest, DrawsUnscaledWithItsTopLeftCornerAtThePosition) {
    SoftwareCanvas canvas;
    const std::string caption = "HIGH SCORE 999999";
    vexa::Text text{m_font};

    // Never created: nothing to draw.
    text.Draw(vexa::g_renderer, 10, 10);
    EXPECT_EQ(canvas.LitCount(), 0);

    TTF_Font* probe = TTF_OpenFont(kFontFile, 28);
    ASSERT_NE(probe, nullptr);
    int width = 0;
    int height = 0;
    ASSERT_EQ(TTF_SizeText(probe, caption.c_str(), &width, &height), 0);
    TTF_CloseFont(probe);

    text.Create(vexa::g_renderer, caption, kWhite);
    ASSERT_NE(text.GetTexture(), nullptr);
    int textureWidth = 0;
    int textureHeight = 0;
    SDL_QueryTexture(text.GetTexture(), nullptr, nullptr, &textureWidth, &textureHeight);
    EXPECT_EQ(textureWidth, width);
    EXPECT_EQ(textureHeight, height);

    const int x = 137;
    const int y = 211;
    text.Draw(vexa::g_renderer, x, y);
    const Box lit = canvas.LitBox();
    ASSERT_FALSE(lit.Empty());
    EXPECT_GE(lit.left, x);
    EXPECT_GE(lit.top, y);
    EXPECT_LT(lit.right, x + width);
    EXPECT_LT(lit.bottom, y + height);
    // Glyphs span most of the measured line, so the text was not shrunk or cut.
    EXPECT_GT(lit.Width(), width * 3 / 4);
    EXPECT_GT(lit.Height(), height / 2);
}

TEST_F(TextTest, ColourChannelsBecomeBytesByTruncation) {
    SoftwareCanvas canvas;
    vexa::Text text{m_font};
    text.Create(vexa::g_renderer, "ZAP", vexa::Color{1.0f, 0.5f, 0.0f, 1.0f});
    text.Draw(vexa::g_renderer, 20, 20);

    const Box lit = canvas.LitBox();
    ASSERT_FALSE(lit.Empty());
    // Solid rendering has no anti-aliased edge: every lit pixel is the colour itself.
    int mismatches = 0;
    for (int py = lit.top; py <= lit.bottom; ++py) {
        for (int px = lit.left; px <= lit.right; ++px) {
            const Rgba p = canvas.Pixel(px, py);
            if (p.r == 0 && p.g == 0 && p.b == 0) continue;
            if (p.r != 255 || p.g != 127 || p.b != 0) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(TextTest, EachCreateReplacesTheTextureAndTheTextFreesItsLast) {
    SoftwareCanvas canvas;
    // SDL counts its live allocations; warm the glyph cache first so only the
    // Texts' textures make a difference below.
    {
        vexa::Text warmUp{m_font};
        warmUp.Create(vexa::g_renderer, "SCORE 1", kWhite);
        warmUp.Create(vexa::g_renderer, "SCORE 22", kWhite);
    }
    const int before = SDL_GetNumAllocations();
    {
        vexa::Text text{m_font};
        text.Create(vexa::g_renderer, "SCORE 1", kWhite);
        ASSERT_NE(text.GetTexture(), nullptr);
        const int withOne = SDL_GetNumAllocations();
        EXPECT_GT(withOne, before);

        for (int i = 0; i < 5; ++i) text.Create(vexa::g_renderer, "SCORE 1", kWhite);
        EXPECT_EQ(SDL_GetNumAllocations(), withOne);
        text.Create(vexa::g_renderer, "SCORE 22", kWhite);
    }
    EXPECT_EQ(SDL_GetNumAllocations(), before);
}

TEST_F(TextTest, EmptyStringAndMissingFontDrawNothingQuietly) {
    SoftwareCanvas canvas;
    {
        CapturedStream err{std::cerr};
        vexa::Text text{m_font};
        text.Create(vexa::g_renderer, "READY", kWhite);
        ASSERT_NE(text.GetTexture(), nullptr);
        // An empty string drops the old texture rather than showing stale text.
        text.Create(vexa::g_renderer, "", kWhite);
        EXPECT_EQ(text.GetTexture(), nullptr);
        text.Draw(vexa::g_renderer, 0, 0);
        EXPECT_EQ(canvas.LitCount(), 0);
        EXPECT_EQ(err.Text(), "");
    }

    CapturedStream err{std::cerr};
    const std::string missing = "no-such-font-here.ttf";
    auto font = std::make_shared<vexa::Font>(missing, 28);
    EXPECT_FALSE(font->IsOpen());
    vexa::Text first{font};
    vexa::Text second{font};
    for (int frame = 0; frame < 3; ++frame) {
        first.Create(vexa::g_renderer, "SCORE 0", kWhite);
        second.Create(vexa::g_renderer, "HIGH SCORE 0", kWhite);
        first.Draw(vexa::g_renderer, 10, 10);
        second.Draw(vexa::g_renderer, 10, 50);
    }
    EXPECT_EQ(first.GetTexture(), nullptr);
    EXPECT_EQ(canvas.LitCount(), 0);
    EXPECT_EQ(err.LineCount(), 1);
    EXPECT_NE(err.Text().find(missing), std::string::npos) << err.Text();
}

TEST_F(TextTest, TheSamePictureAskedForAgainKeepsItsTexture) {
    SoftwareCanvas canvas;
    vexa::Text text{m_font};
    text.Create(vexa::g_renderer, "SCORE 12", kWhite);
    SDL_Texture* shown = text.GetTexture();
    ASSERT_NE(shown, nullptr);
    const int allocations = SDL_GetNumAllocations();
    text.Create(vexa::g_renderer, "SCORE 12", vexa::Color{1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_EQ(text.GetTexture(), shown);
    // Colours that give the same bytes give the same picture.
    text.Create(vexa::g_renderer, "SCORE 12", vexa::Color{1.0f, 1.0f, 1.0f, 2.0f});
    EXPECT_EQ(text.GetTexture(), shown);
    EXPECT_EQ(SDL_GetNumAllocations(), allocations);

    const auto height = [&text] {
        int h = 0;
        SDL_QueryTexture(text.GetTexture(), nullptr, nullptr, nullptr, &h);
        return h;
    };
    const auto red = [&] {
        canvas.Clear();
        text.Draw(vexa::g_renderer, 0, 0);
        const Box lit = canvas.LitBox();
        return canvas.Pixel(lit.left + lit.Width() / 2, lit.top + lit.Height() / 2).r;
    };
    const int tall = height();

    // Anything that changes the picture renders again: the string, the colour,
    // the font reopened at another size.
    text.Create(vexa::g_renderer, "SCORE 13", kWhite);
    EXPECT_NE(text.GetTexture(), nullptr);
    text.Create(vexa::g_renderer, "SCORE 13", vexa::Color{0.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_EQ(red(), 0);
    text.Create(vexa::g_renderer, "SCORE 13", kWhite);
    EXPECT_EQ(red(), 255);
    m_font->Load(kFontFile, 14);
    text.Create(vexa::g_renderer, "SCORE 13", kWhite);
    EXPECT_LT(height(), tall);

    // A texture belongs to one renderer: another one gets its own.
    SoftwareCanvas other;
    text.Create(vexa::g_renderer, "SCORE 13", kWhite);
    other.Clear();
    text.Draw(vexa::g_renderer, 0, 0);
    EXPECT_GT(other.LitCount(), 0);
}

// Full screen, back to the window, then two resizes. Each change of size
// closes the scaled face and opens another, which can come back at the very
// address of the one closed: the text must still follow the scale.
TEST_F(TextTest, AScaledTextFollowsEveryChangeOfScale) {
    const std::string caption = "HIGH SCORE 207";
    struct Step {
        float scale;
        int pictureWidth;
        int pictureHeight;
        Box expected;
    };
    Step steps[] = {
        {2.0f, 600, 450, {}}, {1.0f, 1200, 900, {}}, {1.25f, 960, 720, {}}, {1.5f, 800, 600, {}}};
    SoftwareCanvas canvas(1200, 900);

    // What the caption looks like rendered at each size directly, measured
    // first so no face of these is open while the sequence runs.
    for (Step& step : steps) {
        const int size = static_cast<int>(std::lround(28.0f * step.scale));
        auto font = std::make_shared<vexa::Font>(kFontFile, size);
        vexa::Text reference{font};
        reference.Create(vexa::g_renderer, caption, kWhite);
        canvas.Clear();
        reference.Draw(vexa::g_renderer, 0, 0);
        step.expected = canvas.LitBox();
    }

    vexa::Text text{m_font};
    for (const Step& step : steps) {
        vexa::g_renderer.Attach(canvas.Renderer(), step.pictureWidth, step.pictureHeight);
        ASSERT_EQ(vexa::g_renderer.GetView().scale, step.scale);
        text.Create(vexa::g_renderer, caption, kWhite);
        canvas.Clear();
        text.Draw(vexa::g_renderer, 0, 0);
        const Box drawn = canvas.LitBox();
        EXPECT_EQ(drawn.Width(), step.expected.Width()) << "at scale " << step.scale;
        EXPECT_EQ(drawn.Height(), step.expected.Height()) << "at scale " << step.scale;
    }
}

// The score at 150 % beside the title at 100 %, in a window at 1x and at 2x.
TEST_F(TextTest, ALargerTextIsTheFaceAtTheLargerSize) {
    const std::string caption = "SCORE 1250";
    SoftwareCanvas canvas(1600, 1200);
    const auto drawn = [&canvas](vexa::Text& text) {
        canvas.Clear();
        text.Draw(vexa::g_renderer, 0, 0);
        return std::make_pair(canvas.LitBox().Width(), canvas.LitBox().Height());
    };
    vexa::Text usual{m_font};
    vexa::Text large{m_font};
    for (const int scale : {1, 2}) {
        vexa::g_renderer.Attach(canvas.Renderer(), 1600, 1200);
        vexa::Text at100{std::make_shared<vexa::Font>(kFontFile, 28 * scale)};
        vexa::Text at150{std::make_shared<vexa::Font>(kFontFile, 42 * scale)};
        at100.Create(vexa::g_renderer, caption, kWhite);
        at150.Create(vexa::g_renderer, caption, kWhite);
        const auto want100 = drawn(at100);
        const auto want150 = drawn(at150);
        vexa::g_renderer.Attach(canvas.Renderer(), 1600 / scale, 1200 / scale);
        usual.Create(vexa::g_renderer, caption, kWhite);
        large.Create(vexa::g_renderer, caption, kWhite, 150);
        EXPECT_EQ(drawn(usual), want100) << scale;
        EXPECT_EQ(drawn(large), want150) << scale;
    }
}
