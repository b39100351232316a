#include "Renderer.h"

#include "platform/Platform.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <iostream>

namespace vexa {

// No constructor: the global starts zeroed before anything runs.
Renderer g_renderer;

namespace {

// True when SDL settled on a driver that shows nothing although nobody asked
// for one: a display that refused the connection for a moment makes SDL fall
// back to its offscreen driver, and the game would run with no window at all.
bool fellBackToNoDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    // A driver that was asked for (by its variable or its hint) is no fallback.
    if (driver == nullptr || SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr) return false;
    return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
}

}  // namespace

bool Renderer::Initialize() {
    SDL_Init(SDL_INIT_VIDEO);
    // A busy display server can refuse a connection: ask it again a few times.
    for (int attempt = 0; attempt < 10 && fellBackToNoDisplay(); ++attempt) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Delay(100);
        SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    m_noDisplay = fellBackToNoDisplay();
    TTF_Init();
    return true;
}

bool Renderer::CreateWindow(const std::string& title, int width, int height) {
    m_width = width;
    m_height = height;
    if (m_noDisplay) {
        std::cerr << "Cannot open the window: no display could be reached" << std::endl;
        return false;
    }
    m_window = SDL_CreateWindow(title.c_str(), 100, 100, width, height,
                                SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (m_window == nullptr) {
        std::cerr << "Cannot open the window: " << SDL_GetError() << std::endl;
        return false;
    }
    SDL_SetWindowMinimumSize(m_window, kMinWindowWidth, kMinWindowHeight);
    m_renderer =
        SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    // Without GPU support (or under SDL's dummy driver) the software renderer
    // still shows the game.
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (m_renderer == nullptr)
        std::cerr << "Cannot draw in the window: " << SDL_GetError() << std::endl;
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

Renderer::View Renderer::FitView(int outputWidth, int outputHeight, int width, int height) {
    View view;
    view.width = width;
    view.height = height;
    if (outputWidth <= 0 || outputHeight <= 0 || width <= 0 || height <= 0) return view;
    if (outputWidth == width && outputHeight == height) return view;

    const double scale = std::min(static_cast<double>(outputWidth) / width,
                                  static_cast<double>(outputHeight) / height);
    view.scale = static_cast<float>(scale);
    view.width = std::min(outputWidth, static_cast<int>(std::lround(width * scale)));
    view.height = std::min(outputHeight, static_cast<int>(std::lround(height * scale)));
    view.x = (outputWidth - view.width) / 2;
    view.y = (outputHeight - view.height) / 2;
    view.lineWidth = std::max(1, static_cast<int>(std::lround(scale)));
    return view;
}

void Renderer::MeasureOutput() {
    m_outputWidth = 0;
    m_outputHeight = 0;
    if (m_renderer != nullptr &&
        SDL_GetRendererOutputSize(m_renderer, &m_outputWidth, &m_outputHeight) != 0) {
        m_outputWidth = 0;
        m_outputHeight = 0;
    }
    m_view = FitView(m_outputWidth, m_outputHeight, m_width, m_height);
}

void Renderer::BeginFrame() {
    MeasureOutput();
    // The clear ignores the clip, so the bars beside the picture are cleared too.
    const bool wholeOutput = m_view.x == 0 && m_view.y == 0 && m_view.width == m_outputWidth &&
                             m_view.height == m_outputHeight;
    if (wholeOutput) {
        SDL_RenderSetClipRect(m_renderer, nullptr);
    } else {
        const SDL_Rect picture{m_view.x, m_view.y, m_view.width, m_view.height};
        SDL_RenderSetClipRect(m_renderer, &picture);
    }
    SDL_RenderClear(m_renderer);
}

void Renderer::ToggleFullScreen() {
    if (m_window == nullptr) return;
    if (IsFullScreen()) {
        SDL_SetWindowFullscreen(m_window, 0);
        // Not every window system gives the window back its old size and place.
        if (m_windowedWidth > 0 && m_windowedHeight > 0) {
            SDL_SetWindowSize(m_window, m_windowedWidth, m_windowedHeight);
            SDL_SetWindowPosition(m_window, m_windowedX, m_windowedY);
        }
        return;
    }
    SDL_GetWindowPosition(m_window, &m_windowedX, &m_windowedY);
    SDL_GetWindowSize(m_window, &m_windowedWidth, &m_windowedHeight);
    if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::cerr << "Cannot go full screen: " << SDL_GetError() << std::endl;
    }
}

int Renderer::GetRefreshRate() const {
    SDL_DisplayMode mode{};
    if (m_window == nullptr || SDL_GetWindowDisplayMode(m_window, &mode) != 0) return 0;
    return mode.refresh_rate;
}

bool Renderer::IsFullScreen() const {
    return m_window != nullptr && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void Renderer::WindowToPicture(int windowX, int windowY, float& x, float& y) const {
    float density = 1.0f;
    int width = 0;
    int height = 0;
    if (m_window != nullptr) SDL_GetWindowSize(m_window, &width, &height);
    if (width > 0 && m_outputWidth > 0)
        density = static_cast<float>(m_outputWidth) / static_cast<float>(width);
    x = (static_cast<float>(windowX) * density - static_cast<float>(m_view.x)) / m_view.scale;
    y = (static_cast<float>(windowY) * density - static_cast<float>(m_view.y)) / m_view.scale;
}

void Renderer::SetFullScreen(bool fullScreen) {
    if (fullScreen != IsFullScreen()) ToggleFullScreen();
}

Renderer::WindowPlace Renderer::GetWindowPlace() const {
    WindowPlace place;
    if (m_window == nullptr) return place;
    place.display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
    if (IsFullScreen() && m_windowedWidth > 0 && m_windowedHeight > 0) {
        place.x = m_windowedX;
        place.y = m_windowedY;
        place.width = m_windowedWidth;
        place.height = m_windowedHeight;
        return place;
    }
    SDL_GetWindowPosition(m_window, &place.x, &place.y);
    SDL_GetWindowSize(m_window, &place.width, &place.height);
    return place;
}

Renderer::WindowPlace Renderer::FitWindowPlace(const WindowPlace& place) {
    // A player must be able to get hold of the window: a good part of its
    // title bar's width lies on the display it was on.
    constexpr int kGrip = 64;
    SDL_Rect display{};
    const bool known = place.display >= 0 && place.display < SDL_GetNumVideoDisplays() &&
                       SDL_GetDisplayBounds(place.display, &display) == 0;
    const bool inSight = known && place.x + place.width - kGrip >= display.x &&
                         place.x + kGrip <= display.x + display.w && place.y >= display.y &&
                         place.y + kGrip <= display.y + display.h;
    WindowPlace fitted = place;
    if (!inSight) fitted.display = 0;
    if (inSight) {
        const SDL_Rect asked{place.x, place.y, std::max(place.width, 1), std::max(place.height, 1)};
        const int landing = SDL_GetRectDisplayIndex(&asked);
        if (landing >= 0) fitted.display = landing;
    }
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(fitted.display, &usable) != 0 || usable.w <= 0 ||
        usable.h <= 0) {
        SDL_GetDisplayBounds(fitted.display, &usable);
    }
    // With no display to measure, only the smallest window is sure to fit.
    const int widest = usable.w > 0 ? usable.w : kMinWindowWidth;
    const int tallest = usable.h > 0 ? usable.h : kMinWindowHeight;
    fitted.width = std::max(kMinWindowWidth, std::min(place.width, widest));
    fitted.height = std::max(kMinWindowHeight, std::min(place.height, tallest));
    if (!inSight) {
        fitted.x = usable.x + std::clamp(widest - fitted.width, 0, 100);
        fitted.y = usable.y + std::clamp(tallest - fitted.height, 0, 100);
    }
    return fitted;
}

void Renderer::PlaceWindow(const WindowPlace& place) {
    if (m_window == nullptr || !platform::WindowMovable()) return;
    const WindowPlace fitted = FitWindowPlace(place);
    SDL_SetWindowSize(m_window, fitted.width, fitted.height);
    // A window manager reports its frame some moments after the window opens.
    // Until then SDL takes a position for the frame's rather than the
    // window's own, and the window would land a title bar lower than it was
    // at every start. Without a window manager no frame is ever reported.
    constexpr Uint32 kFramePatienceMs = 250;
    const Uint32 start = SDL_GetTicks();
    int top = 0;
    int left = 0;
    while (SDL_GetWindowBordersSize(m_window, &top, &left, nullptr, nullptr) == 0 && top == 0 &&
           left == 0 && SDL_GetTicks() - start < kFramePatienceMs) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
    SDL_SetWindowPosition(m_window, fitted.x, fitted.y);
}

float Renderer::Reach(float x, float y, float radius) const {
    // A negative scale mirrors a model; it reaches just as far.
    radius = std::fabs(radius);
    // Lines are rasterised a pixel or so around their true path, and placing
    // a point rounds in proportion to the numbers involved.
    const float margin = 2.0f + 0.001f * (radius + std::fabs(x) + std::fabs(y));
    // A thick line's strands lie beside its path.
    if (m_lineWidth > 1.0f) return radius + margin + m_lineWidth;
    return radius + margin;
}

bool Renderer::OutOfView(float x, float y, float radius) const {
    if (m_outputWidth <= 0 || m_outputHeight <= 0) return false;
    // Shrunk, a picture pixel is less than an output pixel, and a line's
    // rasterisation spreads further in picture pixels.
    const float reach = Reach(x, y, radius) / std::min(m_view.scale, 1.0f);
    return x + reach < 0.0f || y + reach < 0.0f || x - reach > static_cast<float>(m_width) ||
           y - reach > static_cast<float>(m_height);
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

void Renderer::SetLineWidth(float width) {
    // Written so that NaN, too, draws thin.
    m_lineWidth = width >= 1.0f && width <= kMaxLineWidth ? width : 1.0f;
}

int Renderer::Strands() const {
    if (m_lineWidth <= 1.0f) return m_view.lineWidth;
    return std::max(1, static_cast<int>(std::lround(m_lineWidth * m_view.scale)));
}

void Renderer::DrawLine(float x1, float y1, float x2, float y2) {
    const View& v = m_view;
    const auto left = static_cast<float>(v.x);
    const auto top = static_cast<float>(v.y);
    if (v.scale == 1.0f && m_lineWidth <= 1.0f) {
        SDL_RenderDrawLineF(m_renderer, x1 + left, y1 + top, x2 + left, y2 + top);
        return;
    }
    x1 = x1 * v.scale + left;
    y1 = y1 * v.scale + top;
    x2 = x2 * v.scale + left;
    y2 = y2 * v.scale + top;
    // Thickened across its run: parallel lines one output pixel apart, so the
    // steps of a slanted line stay one output pixel high.
    const bool flat = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    const int strands = Strands();
    for (int i = 0; i < strands; ++i) {
        const auto shift = static_cast<float>(i);
        if (flat) {
            SDL_RenderDrawLineF(m_renderer, x1, y1 + shift, x2, y2 + shift);
        } else {
            SDL_RenderDrawLineF(m_renderer, x1 + shift, y1, x2 + shift, y2);
        }
    }
}

void Renderer::DrawPoint(float x, float y) {
    const View& v = m_view;
    const auto left = static_cast<float>(v.x);
    const auto top = static_cast<float>(v.y);
    if (v.scale == 1.0f && m_lineWidth <= 1.0f) {
        SDL_RenderDrawPointF(m_renderer, x + left, y + top);
        return;
    }
    // The output pixels that the picture's pixel under (x, y) covers.
    const auto side = static_cast<float>(Strands());
    const SDL_FRect square{std::floor(x) * v.scale + left, std::floor(y) * v.scale + top, side,
                           side};
    SDL_RenderFillRectF(m_renderer, &square);
}

void Renderer::FillRect(float x, float y, float width, float height) {
    const View& v = m_view;
    const SDL_FRect rect{x * v.scale + static_cast<float>(v.x),
                         y * v.scale + static_cast<float>(v.y), width * v.scale, height * v.scale};
    SDL_RenderFillRectF(m_renderer, &rect);
}

void Renderer::Dim(std::uint8_t alpha) {
    // Everything else is drawn opaque, so blending is on only for this.
    SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_BLEND);
    SetColor(0, 0, 0, alpha);
    FillRect(0.0f, 0.0f, static_cast<float>(m_width), static_cast<float>(m_height));
    SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_NONE);
}

}  // namespace vexa
