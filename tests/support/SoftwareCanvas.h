#pragma once

#include "core/Color.h"

#include <SDL.h>

#include <cstdint>

namespace testing_support {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
    bool Empty() const { return right < left; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
    int Height() const { return Empty() ? 0 : bottom - top + 1; }
};

// An off-screen SDL software renderer over a surface, cleared to opaque black,
// whose pixels can be read back. Points g_renderer at itself while it lives.
class SoftwareCanvas {
public:
    SoftwareCanvas(int width = 800, int height = 600);
    ~SoftwareCanvas();
    SoftwareCanvas(const SoftwareCanvas&) = delete;
    SoftwareCanvas& operator=(const SoftwareCanvas&) = delete;

    SDL_Renderer* Renderer() const { return m_renderer; }
    void Clear();
    Rgba Pixel(int x, int y) const;
    bool IsLit(int x, int y) const;
    // True when a pixel within `tolerance` of (x, y) is lit (lines are drawn
    // from unrounded float coordinates).
    bool IsLitNear(float x, float y, int tolerance = 1) const;
    int LitCount() const;
    Box LitBox() const;

private:
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    int m_width;
    int m_height;
};

}  // namespace testing_support
