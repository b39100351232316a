#pragma once

#include "core/Color.h"

#include <cstdint>
#include <string>

struct SDL_Renderer;
struct SDL_Window;

namespace vexa {

class Text;

// The one window and its 2D renderer. Coordinates are pixels of a picture of
// the size asked for at creation, from its top-left corner. The picture fills
// as much of the window as its shape allows, centred between black bars, and
// everything is drawn at the window's own resolution: lines along their true
// paths, as thick as the picture's pixels. At scale 1 coordinates go to SDL
// as floats without rounding.
class Renderer {
public:
    // Where the picture lies in the output, in output pixels.
    struct View {
        float scale = 1.0f;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        // Lines and points are drawn this many output pixels thick.
        int lineWidth = 1;
    };
    // The largest picture of width x height that fits an output of that
    // size, keeping its shape, centred. An unknown output shows it unscaled.
    static View FitView(int outputWidth, int outputHeight, int width, int height);

    // Starts SDL's video subsystem and SDL_ttf. Always true: their results are
    // not looked at, and a failure shows when the window cannot be created.
    bool Initialize();
    // The smallest window the player can make: the picture stays legible.
    static constexpr int kMinWindowWidth = 400;
    static constexpr int kMinWindowHeight = 300;

    // Opens the window at (100, 100), resizable down to the smallest window,
    // asking for the display's full pixel density, with a vsync'd accelerated
    // renderer, or SDL's software renderer where none can be had. Returns
    // false, with SDL's reason on stderr, when the window itself cannot be
    // created.
    bool CreateWindow(const std::string& title, int width, int height);
    // Between the desktop's full screen and the window as it was before.
    void ToggleFullScreen();
    bool IsFullScreen() const;
    void SetFullScreen(bool fullScreen);

    // A window's place on the desktop: its position and size in screen
    // coordinates, and the display it is on.
    struct WindowPlace {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int display = 0;
        bool operator==(const WindowPlace& other) const {
            return x == other.x && y == other.y && width == other.width && height == other.height &&
                   display == other.display;
        }
        bool operator!=(const WindowPlace& other) const { return !(*this == other); }
    };
    // Where the window is, or was before it went full screen; all zero without one.
    WindowPlace GetWindowPlace() const;
    // Puts the (windowed) window at FitWindowPlace(`place`), where the player
    // places windows (not in a browser, whose page lays the game out).
    void PlaceWindow(const WindowPlace& place);
    // `place` as the displays present can show it: a display that is gone,
    // or a place that would leave the window out of its sight, gives the
    // first display at the usual (100, 100) instead; the size is at most the
    // usable area of the display the window lands on and at least the
    // smallest window. Needs the video subsystem started.
    static WindowPlace FitWindowPlace(const WindowPlace& place);

    void BeginFrame();
    void EndFrame();
    void SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    // Each float channel to a byte with Color::ToInt, in the order r, g, b, a.
    void SetColor(const Color& color);
    // Lines and points are drawn `width` pixels of the picture thick (1 to
    // kMaxLineWidth; anything else draws them 1 thick), as parallel lines one
    // output pixel apart across the run. At 1 a line is SDL's own single line.
    void SetLineWidth(float width);
    float GetLineWidth() const { return m_lineWidth > 1.0f ? m_lineWidth : 1.0f; }
    static constexpr float kMaxLineWidth = 8.0f;
    void DrawLine(float x1, float y1, float x2, float y2);
    void DrawPoint(float x, float y);
    void FillRect(float x, float y, float width, float height);
    // Darkens the whole picture drawn so far; `alpha` 255 blacks it out.
    void Dim(std::uint8_t alpha);
    // True when nothing drawn within |radius| of the centre can reach a pixel
    // of the picture (measured at BeginFrame, so a resized window counts).
    bool OutOfView(float x, float y, float radius) const;
    // The part of that test no size of the output can change: wholly left of
    // its left edge.
    bool LeftOfView(float x, float y, float radius) const;

    // The size asked for at creation, kept when the user resizes the window.
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The picture's place in the output, measured at BeginFrame.
    const View& GetView() const { return m_view; }
    // A point of the window as the mouse reports it (in the window's own
    // coordinates, which a dense display draws with more pixels) as a point
    // of the picture.
    void WindowToPicture(int windowX, int windowY, float& x, float& y) const;

    friend class Text;

    bool HasWindow() const { return m_window != nullptr; }
    // The refresh rate of the display the window is on, in Hz; 0 when unknown.
    int GetRefreshRate() const;

    // For tests and tools that draw off screen or read pixels back.
    SDL_Renderer* GetSDLRenderer() const { return m_renderer; }
    SDL_Window* GetSDLWindow() const { return m_window; }
    // Draws into an existing SDL renderer (for example a software renderer over
    // a surface) instead of a window of its own; null lets go of it.
    void Attach(SDL_Renderer* renderer, int width, int height);

private:
    // SDL found no display to show a window on, only a driver that draws nowhere.
    bool m_noDisplay = false;
    void MeasureOutput();
    // How far from (x, y) anything drawn within |radius| of it may light a pixel.
    float Reach(float x, float y, float radius) const;
    // Output pixels across a line or a point: the view's own width, or the
    // line width set, scaled as the picture is.
    int Strands() const;

    SDL_Renderer* m_renderer;
    int m_width;
    int m_height;
    SDL_Window* m_window;
    View m_view;
    // The window's place and size before it went full screen.
    int m_windowedX;
    int m_windowedY;
    int m_windowedWidth;
    int m_windowedHeight;
    // Pixels of the drawing target; 0 until known, and then nothing is culled.
    int m_outputWidth;
    int m_outputHeight;
    // The float colour last converted and its bytes.
    Color m_lastColor;
    std::uint8_t m_lastBytes[4];
    bool m_lastColorKnown;
    // In pixels of the picture; 0, as the global starts, draws as 1.
    float m_lineWidth;
};

extern Renderer g_renderer;

}  // namespace vexa
