#include "renderer/Font.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include "SoftwareCanvas.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

using testing_support::Box;
using testing_support::Rgba;
using testing_support::SoftwareCanvas;
using View = vexa::Renderer::View;

namespace {

void expectView(const View& view, float scale, int x, int y, int width, int height, int lineWidth) {
    EXPECT_FLOAT_EQ(view.scale, scale);
    EXPECT_EQ(view.x, x);
    EXPECT_EQ(view.y, y);
    EXPECT_EQ(view.width, width);
    EXPECT_EQ(view.height, height);
    EXPECT_EQ(view.lineWidth, lineWidth);
}

// An 800 x 600 picture drawn into a canvas of another size, as a window of
// that size shows it.
struct ScaledCanvas {
    SoftwareCanvas canvas;
    ScaledCanvas(int width, int height) : canvas(width, height) {
        vexa::g_renderer.Attach(canvas.Renderer(), 800, 600);
        vexa::g_renderer.SetColor(0, 0, 0, 255);
        vexa::g_renderer.BeginFrame();
        vexa::g_renderer.SetColor(255, 255, 255, 255);
    }
};

std::vector<Rgba> pixels(const SoftwareCanvas& canvas, int width, int height) {
    std::vector<Rgba> all;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) all.push_back(canvas.Pixel(x, y));
    return all;
}

// The lit rows of one column, top and count; count 0 when none.
struct ColumnRun {
    int top = -1;
    int count = 0;
};
ColumnRun litRun(const SoftwareCanvas& canvas, int x, int height) {
    ColumnRun run;
    for (int y = 0; y < height; ++y) {
        if (!canvas.IsLit(x, y)) continue;
        if (run.top < 0) run.top = y;
        ++run.count;
    }
    return run;
}

}  // namespace

TEST(ScaledView, ThePictureFillsWhatItsShapeAllowsCentredBetweenBars) {
    expectView(vexa::Renderer::FitView(800, 600, 800, 600), 1.0f, 0, 0, 800, 600, 1);
    expectView(vexa::Renderer::FitView(1600, 1200, 800, 600), 2.0f, 0, 0, 1600, 1200, 2);
    expectView(vexa::Renderer::FitView(1200, 900, 800, 600), 1.5f, 0, 0, 1200, 900, 2);
    // A wide screen: bars left and right.
    expectView(vexa::Renderer::FitView(1920, 1080, 800, 600), 1.8f, 240, 0, 1440, 1080, 2);
    // Wider but no taller than the picture: unscaled, centred.
    expectView(vexa::Renderer::FitView(1000, 600, 800, 600), 1.0f, 100, 0, 800, 600, 1);
    // Tall and narrow, smaller than the picture: shrunk, bars above and below.
    expectView(vexa::Renderer::FitView(640, 720, 800, 600), 0.8f, 0, 120, 640, 480, 1);
    // An odd pixel left over goes to the right or bottom bar.
    expectView(vexa::Renderer::FitView(801, 600, 800, 600), 1.0f, 0, 0, 800, 600, 1);
    // Nothing known about the output yet: drawn as it is.
    expectView(vexa::Renderer::FitView(0, 0, 800, 600), 1.0f, 0, 0, 800, 600, 1);
    expectView(vexa::Renderer::FitView(1, 1, 800, 600), 0.00125f, 0, 0, 1, 1, 1);
}

TEST(ScaledView, AtItsOwnSizeThePictureIsWhatSdlDrawsPixelForPixel) {
    SoftwareCanvas canvas;
    vexa::Renderer& renderer = vexa::g_renderer;
    SDL_Renderer* sdl = canvas.Renderer();
    const float lines[][4] = {{10.3f, 20.7f, 790.1f, 580.9f},
                              {400.5f, -30.0f, 420.25f, 650.0f},
                              {-20.0f, 300.2f, 830.0f, 310.6f},
                              {100.0f, 100.0f, 100.0f, 100.0f}};
    const float points[][2] = {{0.4f, 0.6f}, {799.5f, 599.5f}, {123.9f, 456.1f}};

    renderer.SetColor(0, 0, 0, 255);
    renderer.BeginFrame();
    renderer.SetColor(255, 200, 100, 255);
    for (const auto& l : lines) renderer.DrawLine(l[0], l[1], l[2], l[3]);
    for (const auto& p : points) renderer.DrawPoint(p[0], p[1]);
    renderer.FillRect(30.5f, 40.25f, 17.0f, 9.5f);
    const std::vector<Rgba> throughRenderer = pixels(canvas, 800, 600);

    canvas.Clear();
    SDL_SetRenderDrawColor(sdl, 255, 200, 100, 255);
    for (const auto& l : lines) SDL_RenderDrawLineF(sdl, l[0], l[1], l[2], l[3]);
    for (const auto& p : points) SDL_RenderDrawPointF(sdl, p[0], p[1]);
    const SDL_FRect rect{30.5f, 40.25f, 17.0f, 9.5f};
    SDL_RenderFillRectF(sdl, &rect);
    EXPECT_TRUE(throughRenderer == pixels(canvas, 800, 600));
}

TEST(ScaledView, AtTwiceTheSizeASlantedLineIsTwoPixelsThickWithOnePixelSteps) {
    ScaledCanvas scaled(1600, 1200);
    const SoftwareCanvas& canvas = scaled.canvas;
    // Half as steep as a diagonal: at 1x it climbs a pixel every two columns.
    vexa::g_renderer.DrawLine(100.0f, 100.0f, 300.0f, 200.0f);

    int steps = 0;
    ColumnRun before = litRun(canvas, 210, 1200);
    for (int x = 210; x < 590; ++x) {
        const ColumnRun run = litRun(canvas, x, 1200);
        ASSERT_EQ(run.count, 2) << "column " << x;
        // A picture enlarged after drawing would climb two rows every four columns.
        ASSERT_LE(std::abs(run.top - before.top), 1) << "column " << x;
        if (run.top != before.top) ++steps;
        before = run;
    }
    // Along its true path: 190 rows climbed over those 380 columns, one at a time.
    EXPECT_NEAR(steps, 190, 2);
    EXPECT_TRUE(canvas.IsLitNear(200.0f, 200.0f));
    EXPECT_TRUE(canvas.IsLitNear(600.0f, 400.0f));

    // A point covers the picture's pixel: two by two.
    vexa::g_renderer.DrawPoint(700.0f, 50.0f);
    const Box corner{1400, 100, 1401, 101};
    for (int y = 98; y < 104; ++y)
        for (int x = 1398; x < 1404; ++x) {
            const bool inside =
                x >= corner.left && x <= corner.right && y >= corner.top && y <= corner.bottom;
            EXPECT_EQ(canvas.IsLit(x, y), inside) << x << "," << y;
        }
}

TEST(ScaledView, NothingIsDrawnOnTheBars) {
    ScaledCanvas scaled(1000, 600);
    const SoftwareCanvas& canvas = scaled.canvas;
    // Across the whole picture and beyond it on both sides.
    vexa::g_renderer.DrawLine(-100.0f, 300.0f, 900.0f, 300.0f);
    vexa::g_renderer.FillRect(-50.0f, 10.0f, 900.0f, 5.0f);
    const Box lit = canvas.LitBox();
    EXPECT_EQ(lit.left, 100);
    EXPECT_EQ(lit.right, 899);

    // The next frame's clear covers the bars as well.
    vexa::g_renderer.SetColor(0, 0, 0, 255);
    vexa::g_renderer.BeginFrame();
    EXPECT_EQ(canvas.LitCount(), 0);
}

TEST(ScaledView, CullingFollowsThePictureNotTheWindow) {
    ScaledCanvas scaled(1600, 600);
    vexa::Renderer& renderer = vexa::g_renderer;
    // Right of the picture, though inside the wide window: hidden by the bar.
    EXPECT_TRUE(renderer.OutOfView(850.0f, 300.0f, 10.0f));
    EXPECT_FALSE(renderer.OutOfView(805.0f, 300.0f, 10.0f));
    EXPECT_FALSE(renderer.OutOfView(400.0f, 300.0f, 10.0f));
}

TEST(ScaledView, TextIsRenderedAtTheScaledSizeNotEnlarged) {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    {
        auto font = std::make_shared<vexa::Font>(ZAP207_SOURCE_ASSETS "/font.ttf", 28);
        ASSERT_TRUE(font->IsOpen());
        SoftwareCanvas plain;
        vexa::Text text(font);
        text.Create(vexa::g_renderer, "HIGH SCORE 207", vexa::Color{1.0f, 1.0f, 1.0f, 1.0f});
        text.Draw(vexa::g_renderer, 100, 50);
        const Box small = plain.LitBox();
        ASSERT_FALSE(small.Empty());

        ScaledCanvas scaled(1600, 1200);
        // A texture belongs to the renderer it was made for.
        text.Create(vexa::g_renderer, "HIGH SCORE 207", vexa::Color{1.0f, 1.0f, 1.0f, 1.0f});
        text.Draw(vexa::g_renderer, 100, 50);
        const Box large = scaled.canvas.LitBox();
        // Twice the size at twice the place, give or take the hinting of a pixel.
        EXPECT_NEAR(large.left, 2 * small.left, 3);
        EXPECT_NEAR(large.top, 2 * small.top, 3);
        EXPECT_NEAR(large.Width(), 2 * small.Width(), 6);
        EXPECT_NEAR(large.Height(), 2 * small.Height(), 6);

        // An enlarged picture is made of two by two blocks: every lit run in
        // a row would start on the same parity and be of even length.
        int oddRuns = 0;
        for (int y = large.top; y <= large.bottom; ++y) {
            int start = -1;
            for (int x = large.left; x <= large.right + 1; ++x) {
                const bool lit = scaled.canvas.IsLit(x, y);
                if (lit && start < 0) start = x;
                if (!lit && start >= 0) {
                    if ((x - start) % 2 != 0) ++oddRuns;
                    start = -1;
                }
            }
        }
        EXPECT_GT(oddRuns, 10);
    }
    TTF_Quit();
}
