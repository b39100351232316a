#include "Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cassert>
#include <cmath>
#include <cstring>
#include <iostream>

namespace vexa {

// No constructor: the global starts zeroed before anything runs.
Renderer g_renderer;

bool Renderer::Initialize() {
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    return true;
}

bool Renderer::CreateWindow(const std::string& title, int width, int height) {
    m_width = width;
    m_height = height;
    m_window = SDL_CreateWindow(title.c_str(), 100, 100, width, height,
                                SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (m_window == nullptr) {
        std::cerr << "Cannot open the window: " << SDL_GetError() << std::endl;
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_window, -1,
                                    SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    // Without GPU support (or under SDL's dummy driver) the software renderer
    // still shows the game.
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (m_renderer == nullptr) std::cerr << "Cannot draw in the window: " << SDL_GetError() << std::endl;
    MeasureOutput();
    return true;
}

void Renderer::Attach(SDL_Renderer* renderer, int width, int height) {
    assert((renderer == nullptr || (width > 0 && height > 0)) && "an attached renderer has a size");
    m_renderer = renderer;
    m_width = width;
    m_height = height;
    MeasureOutput();
}

void Renderer::MeasureOutput() {
    m_outputWidth = 0;
    m_outputHeight = 0;
    if (m_renderer == nullptr) return;
    if (SDL_GetRendererOutputSize(m_renderer, &m_outputWidth, &m_outputHeight) != 0) {
        m_outputWidth = 0;
        m_outputHeight = 0;
    }
}

void Renderer::BeginFrame() {
    MeasureOutput();
    SDL_RenderClear(m_renderer);
}

float Renderer::Reach(float x, float y, float radius) {
    // A negative scale mirrors a model; it reaches just as far.
    radius = std::fabs(radius);
    // Lines are rasterised a pixel or so around their true path, and placing
    // a point rounds in proportion to the numbers involved.
    const float margin = 2.0f + 0.001f * (radius + std::fabs(x) + std::fabs(y));
    return radius + margin;
}

bool Renderer::OutOfView(float x, float y, float radius) const {
    if (m_outputWidth <= 0 || m_outputHeight <= 0) return false;
    const float reach = Reach(x, y, radius);
    return x + reach < 0.0f || y + reach < 0.0f ||
           x - reach > static_cast<float>(m_outputWidth) ||
           y - reach > static_cast<float>(m_outputHeight);
}

bool Renderer::LeftOfView(float x, float y, float radius) const {
    if (m_outputWidth <= 0 || m_outputHeight <= 0) return false;
    return x + Reach(x, y, radius) < 0.0f;
}

void Renderer::EndFrame() {
    SDL_RenderPresent(m_renderer);
}

void Renderer::SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    SDL_SetRenderDrawColor(m_renderer, r, g, b, a);
}

void Renderer::SetColor(const Color& color) {
    // Thousands of models a frame set one of a handful of colours; the bytes
    // of the last one are kept rather than converted again. Equal bytes convert
    // alike, so the bytes are what is compared (NaN and -0 included).
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    if (!m_lastColorKnown || std::memcmp(&color, &m_lastColor, sizeof(Color)) != 0) {
        const float channels[] = {color.r, color.g, color.b, color.a};
        for (int i = 0; i < 4; ++i) {
            m_lastBytes[i] = static_cast<std::uint8_t>(Color::ToInt(channels[i]));
        }
        m_lastColor = color;
        m_lastColorKnown = true;
    }
    SetColor(m_lastBytes[0], m_lastBytes[1], m_lastBytes[2], m_lastBytes[3]);
}

void Renderer::DrawLine(float x1, float y1, float x2, float y2) {
    SDL_RenderDrawLineF(m_renderer, x1, y1, x2, y2);
}

void Renderer::DrawPoint(float x, float y) {
    SDL_RenderDrawPointF(m_renderer, x, y);
}

}  // namespace vexa
