#include "renderer/Model.h"

#include "SoftwareCanvas.h"
#include "TempDir.h"
#include "renderer/Renderer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using testing_support::Rgba;
using testing_support::SoftwareCanvas;
using vexa::Vector2;

namespace {

std::vector<std::uint8_t> Picture(SDL_Renderer* renderer, int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 4));
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), width * 4);
    return pixels;
}

}  // namespace

TEST(ModelDraw, AModelOutsideTheWindowLightsNothingYetLeavesItsColourSet) {
    testing_support::TempDir dir;
    testing_support::ScopedWorkingDirectory cwd(dir.Path());
    dir.Write("rock.txt",
              "{0.85, 0.6, 0.35}\n6\n{0, -3.5}\n{2.98, 0.31}\n{1.63, 3.21}\n{-1.95, 2.79}\n"
              "{-3.28, 0.34}\n{0, -3.5}\n");
    vexa::Model model;
    model.Load("rock.txt");
    const Rgba rockColour{216, 153, 89, 255};

    constexpr int kWidth = 160;
    constexpr int kHeight = 120;
    SoftwareCanvas canvas(kWidth, kHeight);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> across(-90.0f, 250.0f);
    std::uniform_real_distribution<float> turn(-4.0f, 4.0f);
    const float scales[] = {5.0f, -5.0f, 1.0f, 0.25f, 20.0f};

    int culled = 0;
    int drawn = 0;
    for (int i = 0; i < 400; ++i) {
        const Vector2 position(across(rng), across(rng) * 0.75f);
        const float angle = turn(rng);
        const float scale = scales[i % 5];

        // The same lines straight through SDL, never skipped.
        canvas.Clear();
        SDL_SetRenderDrawColor(canvas.Renderer(), rockColour.r, rockColour.g, rockColour.b, 255);
        const auto& points = model.GetPoints();
        for (std::size_t k = 1; k < points.size(); ++k) {
            const Vector2 from = (points[k - 1] * scale).Rotate(angle) + position;
            const Vector2 to = (points[k] * scale).Rotate(angle) + position;
            SDL_RenderDrawLineF(canvas.Renderer(), from.x, from.y, to.x, to.y);
        }
        const auto expected = Picture(canvas.Renderer(), kWidth, kHeight);

        canvas.Clear();
        SDL_SetRenderDrawColor(canvas.Renderer(), 1, 2, 3, 4);
        model.Draw(vexa::g_renderer, position, angle, scale);
        ASSERT_EQ(Picture(canvas.Renderer(), kWidth, kHeight), expected)
            << "at (" << position.x << ", " << position.y << ") scale " << scale;
        Rgba colour;
        SDL_GetRenderDrawColor(canvas.Renderer(), &colour.r, &colour.g, &colour.b, &colour.a);
        EXPECT_EQ(colour, rockColour);

        const float radius = model.GetRadius() * scale;
        if (vexa::g_renderer.OutOfView(position.x, position.y, radius)) {
            ++culled;
        } else {
            ++drawn;
        }
    }
    // Both kinds happened, so the comparison above covered the skipped lines.
    EXPECT_GT(culled, 100);
    EXPECT_GT(drawn, 100);
}

TEST(ModelDraw, NothingIsSkippedBeforeTheOutputSizeIsKnownOrForNonFiniteCentres) {
    vexa::Renderer renderer{};
    EXPECT_FALSE(renderer.OutOfView(-1.0e6f, -1.0e6f, 1.0f));

    SoftwareCanvas canvas(100, 100);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(vexa::g_renderer.OutOfView(-30.0f, 50.0f, 20.0f));
    EXPECT_FALSE(vexa::g_renderer.OutOfView(-21.0f, 50.0f, 20.0f));
    EXPECT_FALSE(vexa::g_renderer.OutOfView(121.0f, 50.0f, -20.0f));
    EXPECT_FALSE(vexa::g_renderer.OutOfView(nan, 50.0f, 1.0f));
    EXPECT_FALSE(vexa::g_renderer.OutOfView(50.0f, 50.0f, nan));
    EXPECT_FALSE(vexa::g_renderer.OutOfView(-inf, 50.0f, 1.0f));
}

TEST(ModelDraw, AGivenColourReplacesTheFilesOnTheSameLines) {
    testing_support::TempDir dir;
    testing_support::ScopedWorkingDirectory cwd(dir.Path());
    const std::string points = "4\n{-2, -2}\n{3, 0}\n{-2, 2}\n{-2, -2}\n";
    dir.Write("yellow.txt", "{1, 1, 0}\n" + points);
    dir.Write("blue.txt", "{0, 0, 1}\n" + points);
    vexa::Model yellow;
    vexa::Model blue;
    yellow.Load("yellow.txt");
    blue.Load("blue.txt");
    SoftwareCanvas canvas(160, 120);
    const vexa::Transform place(Vector2(80.0f, 60.0f), 0.3f, 10.0f);
    blue.Draw(vexa::g_renderer, place);
    const auto expected = Picture(canvas.Renderer(), 160, 120);
    EXPECT_GT(canvas.LitCount(), 50);
    canvas.Clear();
    yellow.Draw(vexa::g_renderer, place, vexa::Color(0.0f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(Picture(canvas.Renderer(), 160, 120), expected);
}
