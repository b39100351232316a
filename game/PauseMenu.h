#pragma once

#include "Settings.h"

#include <memory>
#include <string>
#include <vector>

class Controls;

namespace vexa {
class Font;
class InputSystem;
class Renderer;
class Text;
}  // namespace vexa

// The paused game's menu: resume, the volumes, full screen, pausing when the
// window loses the focus, the controls, the accessibility choices and quit,
// under the pause's caption. Its words are drawn at the player's text size,
// or as near it as lets the page fit the picture.
// On the title screen the same menu, without a run to resume, sets the options
// before a first run. It changes the settings it is given; the frame loop puts
// them into effect.
class PauseMenu {
public:
    enum class Outcome { None, Resume, Quit };
    enum Item : int {
        Resume,
        MusicVolume,
        EffectsVolume,
        FullScreen,
        FocusPause,
        ControlsPage,
        AccessibilityPage,
        Quit
    };
    // The controls page: one row per key, then per button, then these.
    static constexpr int kResetRow =
        static_cast<int>(Bindings::kKeyCount) + static_cast<int>(Bindings::kButtonCount);
    static constexpr int kBackRow = kResetRow + 1;
    // The accessibility page's rows.
    enum AccessibilityRow : int {
        PaletteRow,
        TextSizeRow,
        ReducedMotionRow,
        GameSpeedRow,
        MovementRow,
        HapticsRow,
        AccessibilityBackRow
    };

    PauseMenu();
    ~PauseMenu();

    void Initialize(std::shared_ptr<vexa::Font> font);
    // Back to the first page with its first row highlighted, as each pause
    // begins; without Resume where there is no run to go back to.
    void Open(bool resumable = true);
    // One frame of the player's keys, buttons and pointer.
    Outcome Update(const Controls& controls, const vexa::InputSystem& input, Settings& settings);
    // The caption of the pause stays at the top of the panel.
    void Draw(vexa::Renderer& renderer, const Settings& settings);

    // Whether the system asks for reduced motion: the value shown, and
    // changed, while the settings leave it to the system.
    void SetSystemReducedMotion(bool reduced) { m_systemReducedMotion = reduced; }
    // On a touch screen, the CSS pixels one picture pixel is shown at: the
    // rows then stand a finger's width apart, and a page that no longer fits
    // scrolls. 0 where the player points with a mouse.
    void SetFingerScale(float cssPerPixel) { m_fingerScale = cssPerPixel; }

    bool OnControlsPage() const { return m_page == Page::Controls; }
    bool OnAccessibilityPage() const { return m_page == Page::Accessibility; }
    // The share of the font's size the words were last drawn at, in percent.
    int GetDrawnTextSize() const { return m_fittedSize; }
    int GetCursor() const { return m_cursor; }
    // The row waiting for a key or button, or -1.
    int GetWaitingRow() const { return m_waitingRow; }
    const std::string& GetNotice() const { return m_notice; }
    // The middle of `row` where it was last drawn, in picture pixels; false
    // before the menu has been drawn.
    bool RowPlace(int row, int& x, int& y) const;
    // The middle of `row`'s value: a click left of it lowers the value, right
    // of it raises it.
    bool ValuePlace(int row, int& x, int& y) const;
    // The distance between rows where they were last drawn, in picture pixels.
    int GetRowPitch() const { return m_rowPitch; }
    // The middle of the sign that more rows lie above (`down` false) or below,
    // where it was last drawn; false when there is none.
    bool MorePlace(bool down, int& x, int& y) const;

private:
    // A line of the panel, rendered again only when its words change.
    struct Line {
        std::unique_ptr<vexa::Text> text;
        std::string shown;
        int size = 0;
    };
    enum class Page { Main, Controls, Accessibility };
    // The panel's size for its words at one text size.
    struct Extent {
        int width = 0;
        int height = 0;
        int widestValue = 0;
        // The heading's part of the height, and the lines below it: the rows
        // and, on the controls page, one for its notices.
        int headingHeight = 0;
        int lines = 0;
    };

    int RowCount() const;
    // The first row of the page shown: Resume has no place on the title screen.
    int FirstRow() const;
    Outcome Choose(Settings& settings, int row);
    Outcome Click(Settings& settings, int row, float x);
    void Change(Settings& settings, int row, int direction, bool wrap = false);
    void ChangeAccessibility(Settings& settings, int row, int direction, bool wrap);
    void TakeBinding(const vexa::InputSystem& input, Settings& settings, bool click);
    // A row, -1 for none, or one of these for the signs of more rows.
    static constexpr int kMoreAbove = -2;
    static constexpr int kMoreBelow = -3;
    int RowAt(float x, float y) const;
    // Whether rows lie scrolled out of sight below (`down`) or above.
    bool More(bool down) const;
    // The rows shown move by `direction`, taking the highlight along.
    void Scroll(int direction);
    // The slot `row` is drawn in, or -1 while it is scrolled out of sight.
    int SlotOf(int row) const;
    std::vector<std::pair<std::string, std::string>> Rows(const Settings& settings) const;
    Line& LineFor(std::size_t index, vexa::Renderer& renderer, const std::string& words, int size);
    Extent Measure(vexa::Renderer& renderer, const std::vector<std::string>& heading,
                   const std::vector<std::pair<std::string, std::string>>& rows, int size);
    // The largest size, at most `wanted`, at which the page fits the picture.
    int FittedSize(vexa::Renderer& renderer, const std::vector<std::string>& heading,
                   const std::vector<std::pair<std::string, std::string>>& rows, int wanted);

    std::shared_ptr<vexa::Font> m_font;
    std::vector<Line> m_lines;
    Page m_page = Page::Main;
    bool m_systemReducedMotion = false;
    // The size found to fit, and what it was found for, so that a page that
    // stays the same is not measured again every frame.
    int m_fittedSize = 100;
    std::string m_fittedFor;
    // Room kept free at the top for the score and the record.
    int m_topReserve = 0;
    bool m_resumable = true;
    int m_cursor = 0;
    int m_waitingRow = -1;
    std::string m_notice;
    // The stick moves one row each time it leaves the centre.
    int m_stickY = 0;
    int m_stickX = 0;
    bool m_mouseWasDown = false;
    // Where the pointer was; unknown as the menu opens, so that a pointer
    // resting on a row does not take the highlight from Resume.
    bool m_pointerKnown = false;
    int m_mouseX = 0;
    int m_mouseY = 0;
    // Where the rows were last drawn, in picture pixels, for the pointer.
    int m_rowsLeft = 0;
    int m_rowsTop = 0;
    int m_rowsWidth = 0;
    int m_rowPitch = 0;
    float m_fingerScale = 0.0f;
    // Where a page's rows do not all fit, a window of m_shownRows of them,
    // m_scroll rows past its first, between the signs of more above and below.
    bool m_scrolling = false;
    int m_scroll = 0;
    int m_shownRows = 0;
    // Where a value's clicks turn from lowering to raising it, and where its
    // clicks begin (the label to its left only highlights the row).
    int m_valueMiddle = 0;
    int m_valueLeft = 0;
};
