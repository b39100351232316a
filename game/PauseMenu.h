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
// window loses the focus, the controls and quit, under the pause's caption.
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
        Quit
    };
    // The controls page: one row per key, then per button, then these.
    static constexpr int kResetRow =
        static_cast<int>(Bindings::kKeyCount) + static_cast<int>(Bindings::kButtonCount);
    static constexpr int kBackRow = kResetRow + 1;

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

    bool OnControlsPage() const { return m_controlsPage; }
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

private:
    // A line of the panel, rendered again only when its words change.
    struct Line {
        std::unique_ptr<vexa::Text> text;
        std::string shown;
    };

    int RowCount() const;
    // The first row of the page shown: Resume has no place on the title screen.
    int FirstRow() const;
    Outcome Choose(Settings& settings, int row);
    Outcome Click(Settings& settings, int row, float x);
    void Change(Settings& settings, int row, int direction);
    void TakeBinding(const vexa::InputSystem& input, Settings& settings, bool click);
    int RowAt(float x, float y) const;
    std::vector<std::pair<std::string, std::string>> Rows(const Settings& settings) const;
    Line& LineFor(std::size_t index, vexa::Renderer& renderer, const std::string& words);

    std::shared_ptr<vexa::Font> m_font;
    std::vector<Line> m_lines;
    bool m_controlsPage = false;
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
    // Where a value's clicks turn from lowering to raising it, and where its
    // clicks begin (the label to its left only highlights the row).
    int m_valueMiddle = 0;
    int m_valueLeft = 0;
};
