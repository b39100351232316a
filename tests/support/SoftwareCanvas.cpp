#include "SoftwareCanvas.h"

#include "renderer/Renderer.h"

#include <cmath>
#include <vector>

namespace testing_support {

SoftwareCanvas::SoftwareCanvas(int width, int height) : m_width{width}, m_height{height} {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    m_surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    m_renderer = SDL_CreateSoftwareRenderer(m_surface);
    vexa::g_renderer.Attach(m_renderer, width, height);
    Clear();
}

SoftwareCanvas::~SoftwareCanvas() {
    vexa::g_renderer.Attach(nullptr, 0, 0);
    SDL_DestroyRenderer(m_renderer);
    SDL_FreeSurface(m_surface);
}

void SoftwareCanvas::Clear() {
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
}

Rgba SoftwareCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {};
    SDL_Rect rect{x, y, 1, 1};
    std::uint8_t bytes[4] = {};
    SDL_RenderReadPixels(m_renderer, &rect, SDL_PIXELFORMAT_RGBA32, bytes, 4);
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

bool SoftwareCanvas::IsLit(int x, int y) const {
    const Rgba p = Pixel(x, y);
    return p.r != 0 || p.g != 0 || p.b != 0;
}

bool SoftwareCanvas::IsLitNear(float x, float y, int tolerance) const {
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    for (int dy = -tolerance; dy <= tolerance; ++dy) {
        for (int dx = -tolerance; dx <= tolerance; ++dx) {
            if (IsLit(cx + dx, cy + dy)) return true;
        }
    }
    return false;
}

int SoftwareCanvas::LitCount() const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(m_width) *
                                    static_cast<std::size_t>(m_height) * 4);
    SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, bytes.data(), m_width * 4);
    int count = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 0) ++count;
    }
    return count;
}

Box SoftwareCanvas::LitBox() const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(m_width) *
                                    static_cast<std::size_t>(m_height) * 4);
    SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, bytes.data(), m_width * 4);
    Box box{m_width, m_height, -1, -1};
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                                   static_cast<std::size_t>(x)) *
                                  4;
            if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 0) continue;
            if (x < box.left) box.left = x;
            if (y < box.top) box.top = y;
            if (x > box.right) box.right = x;
            if (y > box.bottom) box.bottom = y;
        }
    }
    if (box.right < 0) return Box{};
    return box;
}

}  // namespace testing_support
