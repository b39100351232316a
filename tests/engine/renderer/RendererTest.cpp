#include "renderer/Renderer.h"

#include "SoftwareCanvas.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using testing_support::Rgba;
using testing_support::SoftwareCanvas;

TEST(Renderer, DrawsLinesAndPointsInTheCurrentColour) {
    SoftwareCanvas canvas;
    vexa::Renderer& renderer = vexa::g_renderer;

    renderer.SetColor(255, 128, 0, 255);
    renderer.DrawLine(10.0f, 20.0f, 110.0f, 20.0f);
    renderer.DrawPoint(300.0f, 300.0f);

    EXPECT_TRUE(canvas.IsLitNear(10.0f, 20.0f));
    EXPECT_TRUE(canvas.IsLitNear(60.0f, 20.0f));
    EXPECT_TRUE(canvas.IsLitNear(110.0f, 20.0f));
    EXPECT_FALSE(canvas.IsLitNear(60.0f, 40.0f));
    EXPECT_EQ(canvas.Pixel(300, 300), (Rgba{255, 128, 0, 255}));

    // Off-window coordinates are clipped by SDL, not wrapped.
    renderer.DrawLine(-50.0f, 500.0f, 50.0f, 500.0f);
    EXPECT_TRUE(canvas.IsLitNear(0.0f, 500.0f));
    EXPECT_FALSE(canvas.IsLit(799, 500));
}

TEST(Renderer, AlphaDoesNotMakeLinesTranslucent) {
    SoftwareCanvas canvas;
    vexa::g_renderer.SetColor(200, 100, 50, 0);
    vexa::g_renderer.DrawPoint(5.0f, 5.0f);
    const Rgba p = canvas.Pixel(5, 5);
    EXPECT_EQ(p.r, 200);
    EXPECT_EQ(p.g, 100);
    EXPECT_EQ(p.b, 50);
}

TEST(Renderer, BeginFrameClearsToTheColourJustSet) {
    SoftwareCanvas canvas;
    vexa::g_renderer.SetColor(255, 255, 255, 255);
    vexa::g_renderer.DrawLine(0.0f, 0.0f, 799.0f, 599.0f);
    vexa::g_renderer.SetColor(0, 0, 0, 255);
    vexa::g_renderer.BeginFrame();
    EXPECT_EQ(canvas.LitCount(), 0);
}

TEST(Renderer, WindowKeepsItsCreationSizeAfterAResize) {
    vexa::Renderer renderer{};
    EXPECT_EQ(renderer.GetWidth(), 0);
    EXPECT_EQ(renderer.GetHeight(), 0);
    ASSERT_TRUE(renderer.Initialize());

    // The dummy driver has no accelerated renderer: the software fallback
    // must still give the window something to draw with.
    ASSERT_TRUE(renderer.CreateWindow("ZAP207", 800, 600));
    ASSERT_NE(renderer.GetSDLWindow(), nullptr);
    EXPECT_NE(renderer.GetSDLRenderer(), nullptr);

    SDL_SetWindowSize(renderer.GetSDLWindow(), 1024, 700);
    EXPECT_EQ(renderer.GetWidth(), 800);
    EXPECT_EQ(renderer.GetHeight(), 600);
}

TEST(Renderer, ARememberedPlaceIsFittedToTheDisplaysPresent) {
    vexa::Renderer renderer{};
    ASSERT_TRUE(renderer.Initialize());
    SDL_Rect usable{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0) << SDL_GetError();
    using Place = vexa::Renderer::WindowPlace;
    // Sizes that have crashed graphics drivers, and one too small to read.
    const Place huge = renderer.FitWindowPlace(Place{usable.x, usable.y, 32767, 32767, 0});
    EXPECT_EQ(std::make_pair(huge.width, huge.height), std::make_pair(usable.w, usable.h));
    const Place tiny = renderer.FitWindowPlace(Place{usable.x + 10, usable.y + 10, 1, 1, 0});
    EXPECT_EQ(std::make_pair(tiny.width, tiny.height), std::make_pair(400, 300));

    ASSERT_TRUE(renderer.CreateWindow("ZAP207", 800, 600));
    SDL_SetWindowSize(renderer.GetSDLWindow(), 120, 90);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(renderer.GetSDLWindow(), &width, &height);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(400, 300));
}

TEST(Renderer, AWiderLineIsThatManyPicturePixelsAcrossAtAnyScale) {
    vexa::Renderer& renderer = vexa::g_renderer;
    for (const int scale : {1, 2}) {
        SoftwareCanvas canvas(800 * scale, 600 * scale);
        renderer.Attach(canvas.Renderer(), 800, 600);
        // What is no width draws as 1.
        for (const float width : {1.0f, 2.0f, std::nanf("")}) {
            renderer.SetLineWidth(width);
            canvas.Clear();
            renderer.SetColor(255, 255, 255, 255);
            renderer.DrawLine(100.0f, 100.5f, 300.0f, 100.5f);
            EXPECT_EQ(canvas.LitBox().Height(), (width == 2.0f ? 2 : 1) * scale) << width;
        }
    }
    renderer.SetLineWidth(1.0f);
}
