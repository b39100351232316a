#include "PauseMenu.h"

#include "Controls.h"

#include "input/InputSystem.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include <SDL_gamecontroller.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

namespace {

const vexa::Color kWhite(1.0f, 1.0f, 1.0f, 1.0f);
constexpr int kMargin = 16;
constexpr int kGap = 8;
constexpr int kColumnGap = 40;
const char* const kKeyLabels[Bindings::kKeyCount] = {"UP",    "DOWN", "START",
                                                     "PAUSE", "MUTE", "FULL SCREEN"};
const char* const kButtonLabels[Bindings::kButtonCount] = {"CONTROLLER START", "CONTROLLER PAUSE"};
constexpr int kMainRows = PauseMenu::Quit + 1;
constexpr int kControlRows = PauseMenu::kBackRow + 1;
constexpr int kAccessibilityRows = PauseMenu::AccessibilityBackRow + 1;
constexpr int kTextSizeStep = 25;
constexpr int kSmallestTextSize = 100;
constexpr int kLargestTextSize = 150;
// How much smaller the words get at a time when a page does not fit.
constexpr int kFitStep = 5;
// The score and the record stand this far below the top of the picture.
constexpr int kTopLineEdge = 10;
// The least distance between rows for a finger, in CSS pixels.
constexpr float kFingerPitch = 44.0f;
// The sign of more rows: a chevron twice as wide and tall as these.
constexpr float kMoreHalfWidth = 14.0f;
constexpr float kMoreHalfHeight = 5.0f;
// The stick counts as pushed past half its travel.
constexpr float kStickPush = 0.5f;

std::string onOff(bool on) {
    return on ? "ON" : "OFF";
}

std::string percent(int value) {
    return std::to_string(value) + "%";
}

// -1, 0 or 1 as the stick leaves the centre on this axis; 0 while it stays out.
int stickMove(float deflection, int& held) {
    const int now = deflection < -kStickPush ? -1 : (deflection > kStickPush ? 1 : 0);
    const int moved = now != 0 && now != held ? now : 0;
    held = now;
    return moved;
}

// `value` moved one step of `step` in `direction` within low..high: past an
// end it stops there, or, when `wrap`, goes round to the other.
int stepWithin(int value, int direction, int step, int low, int high, bool wrap) {
    const int moved = value + direction * step;
    if (moved > high) return wrap ? low : high;
    if (moved < low) return wrap ? high : low;
    return moved;
}

std::string paletteLabel(PaletteName palette) {
    std::string label(FormatPaletteName(palette));
    std::replace(label.begin(), label.end(), '-', ' ');
    std::transform(label.begin(), label.end(), label.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return label;
}

std::string rowLabel(int row) {
    if (row < Bindings::kKeyCount) return kKeyLabels[row];
    return kButtonLabels[row - Bindings::kKeyCount];
}

}  // namespace

PauseMenu::PauseMenu() = default;
PauseMenu::~PauseMenu() = default;

void PauseMenu::Initialize(std::shared_ptr<vexa::Font> font) {
    m_font = std::move(font);
}

void PauseMenu::Open(bool resumable) {
    m_page = Page::Main;
    m_resumable = resumable;
    m_cursor = FirstRow();
    m_waitingRow = -1;
    m_notice.clear();
    m_pointerKnown = false;
}

int PauseMenu::RowCount() const {
    switch (m_page) {
    case Page::Controls:
        return kControlRows;
    case Page::Accessibility:
        return kAccessibilityRows;
    case Page::Main:
        break;
    }
    return kMainRows;
}

int PauseMenu::FirstRow() const {
    return m_page != Page::Main || m_resumable ? 0 : MusicVolume;
}

PauseMenu::Outcome PauseMenu::Update(const Controls& controls, const vexa::InputSystem& input,
                                     Settings& settings) {
    const bool mouseDown = input.GetMouseButtonDown(0);
    const bool click = mouseDown && !m_mouseWasDown;
    m_mouseWasDown = mouseDown;
    if (m_waitingRow >= 0) {
        TakeBinding(input, settings, click);
        return Outcome::None;
    }

    float x = 0.0f;
    float y = 0.0f;
    vexa::g_renderer.WindowToPicture(input.GetMouseX(), input.GetMouseY(), x, y);
    const int pointed = RowAt(x, y);
    // A pointer standing still leaves the keys and buttons to move the highlight.
    const bool moved =
        m_pointerKnown && (input.GetMouseX() != m_mouseX || input.GetMouseY() != m_mouseY);
    m_pointerKnown = true;
    m_mouseX = input.GetMouseX();
    m_mouseY = input.GetMouseY();
    if (click && pointed < -1) {
        Scroll(pointed == kMoreAbove ? -1 : 1);
        return Outcome::None;
    }
    if (pointed >= 0 && (moved || click)) m_cursor = pointed;
    if (click && pointed >= 0) return Click(settings, pointed, x);

    const int stickY = stickMove(input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTY), m_stickY);
    const int stickX = stickMove(input.GetControllerAxis(SDL_CONTROLLER_AXIS_LEFTX), m_stickX);
    const int first = FirstRow();
    const int rows = RowCount() - first;
    if (controls.MenuUp() || stickY < 0) m_cursor = first + (m_cursor - first + rows - 1) % rows;
    if (controls.MenuDown() || stickY > 0) m_cursor = first + (m_cursor - first + 1) % rows;
    if (controls.MenuLeft() || stickX < 0) Change(settings, m_cursor, -1);
    if (controls.MenuRight() || stickX > 0) Change(settings, m_cursor, 1);
    if (controls.MenuBack()) {
        if (m_page == Page::Main) return Outcome::Resume;
        Choose(settings, m_page == Page::Controls ? kBackRow : AccessibilityBackRow);
        return Outcome::None;
    }
    if (controls.MenuChoose()) return Choose(settings, m_cursor);
    return Outcome::None;
}

PauseMenu::Outcome PauseMenu::Choose(Settings& settings, int row) {
    if (m_page == Page::Accessibility) {
        if (row == AccessibilityBackRow) {
            m_page = Page::Main;
            m_cursor = AccessibilityPage;
        } else {
            ChangeAccessibility(settings, row, 1, true);
        }
        return Outcome::None;
    }
    if (m_page == Page::Controls) {
        m_notice.clear();
        if (row < kResetRow) {
            m_waitingRow = row;
            m_notice = row < Bindings::kKeyCount ? "PRESS THE NEW KEY FOR " + rowLabel(row)
                                                 : "PRESS THE NEW BUTTON FOR " + rowLabel(row);
        } else if (row == kResetRow) {
            settings.bindings = Bindings();
            m_notice = "CONTROLS BACK TO THEIR DEFAULTS";
        } else {
            m_page = Page::Main;
            m_cursor = ControlsPage;
        }
        return Outcome::None;
    }
    switch (row) {
    case Resume:
        return Outcome::Resume;
    case MusicVolume:
    case EffectsVolume: {
        int& volume = row == MusicVolume ? settings.musicVolume : settings.effectsVolume;
        volume = volume >= 100 ? 0 : volume + Settings::kVolumeStep;
        break;
    }
    case FullScreen:
    case FocusPause:
        Change(settings, row, 1);
        break;
    case ControlsPage:
    case AccessibilityPage:
        m_page = row == ControlsPage ? Page::Controls : Page::Accessibility;
        m_cursor = 0;
        m_notice.clear();
        break;
    case Quit:
        return Outcome::Quit;
    default:
        break;
    }
    return Outcome::None;
}

PauseMenu::Outcome PauseMenu::Click(Settings& settings, int row, float x) {
    const bool stepped = (m_page == Page::Main && (row == MusicVolume || row == EffectsVolume)) ||
                         (m_page == Page::Accessibility && row != AccessibilityBackRow);
    if (!stepped) return Choose(settings, row);
    // A value goes the way of the side clicked, and stops at its ends.
    if (x >= static_cast<float>(m_valueLeft))
        Change(settings, row, x < static_cast<float>(m_valueMiddle) ? -1 : 1);
    return Outcome::None;
}

void PauseMenu::ChangeAccessibility(Settings& settings, int row, int direction, bool wrap) {
    switch (row) {
    case PaletteRow: {
        // A list with no order to stop at: it always goes round.
        const int count = static_cast<int>(kPaletteCount);
        const int index = (static_cast<int>(settings.palette) + direction + count) % count;
        settings.palette = static_cast<PaletteName>(index);
        break;
    }
    case TextSizeRow:
        settings.textSize = stepWithin(settings.textSize, direction, kTextSizeStep,
                                       kSmallestTextSize, kLargestTextSize, wrap);
        break;
    case ReducedMotionRow:
        // Once changed here it is the player's, no longer the system's.
        settings.reducedMotion = !settings.reducedMotion.value_or(m_systemReducedMotion);
        break;
    case GameSpeedRow:
        settings.gameSpeed = stepWithin(settings.gameSpeed, direction, Settings::kGameSpeedStep,
                                        Settings::kSlowestGameSpeed, 100, wrap);
        break;
    case MovementRow:
        settings.toggleMovement = !settings.toggleMovement;
        break;
    case HapticsRow:
        settings.haptics = !settings.haptics;
        break;
    default:
        break;
    }
}

void PauseMenu::Change(Settings& settings, int row, int direction, bool wrap) {
    if (m_page == Page::Controls) return;
    if (m_page == Page::Accessibility) {
        ChangeAccessibility(settings, row, direction, wrap);
        return;
    }
    switch (row) {
    case MusicVolume:
    case EffectsVolume: {
        int& volume = row == MusicVolume ? settings.musicVolume : settings.effectsVolume;
        volume = std::clamp(volume + direction * Settings::kVolumeStep, 0, 100);
        break;
    }
    case FullScreen:
        settings.fullScreen = !settings.fullScreen;
        break;
    case FocusPause:
        settings.pauseOnFocusLoss = !settings.pauseOnFocusLoss;
        break;
    default:
        break;
    }
}

void PauseMenu::TakeBinding(const vexa::InputSystem& input, Settings& settings, bool click) {
    int key = -1;
    for (int code = 1; code < vexa::InputSystem::kScancodes && key < 0; ++code) {
        if (input.GetKeyPressed(static_cast<std::uint32_t>(code))) key = code;
    }
    int button = -1;
    for (int code = 0; code < vexa::InputSystem::kControllerButtons && button < 0; ++code) {
        if (input.GetControllerButtonPressed(code)) button = code;
    }
    if (key < 0 && button < 0 && !click) return;

    const int row = m_waitingRow;
    m_waitingRow = -1;
    const bool keyRow = row < Bindings::kKeyCount;
    // A click, or the other kind of input (B on a key's row), leaves the
    // binding as it was.
    if ((keyRow && key < 0) || (!keyRow && button < 0)) {
        m_notice.clear();
        return;
    }
    const Bindings before = settings.bindings;
    const Bindings::Result result =
        keyRow ? settings.bindings.BindKey(static_cast<Bindings::Key>(row), key)
               : settings.bindings.BindButton(
                     static_cast<Bindings::Button>(row - Bindings::kKeyCount), button);
    const std::string name = keyRow ? KeyLabel(key) : ButtonLabel(button);
    switch (result) {
    case Bindings::Result::Refused:
        m_notice = name + " CANNOT BE BOUND";
        break;
    case Bindings::Result::Bound:
        m_notice = rowLabel(row) + " IS NOW " + name;
        break;
    case Bindings::Result::Swapped: {
        const int other = keyRow
                              ? before.KeyAction(key)
                              : static_cast<int>(Bindings::kKeyCount) + before.ButtonAction(button);
        const std::string old =
            keyRow
                ? KeyLabel(before.keys[static_cast<std::size_t>(row)])
                : ButtonLabel(before.buttons[static_cast<std::size_t>(row - Bindings::kKeyCount)]);
        m_notice = "SWAPPED: " + rowLabel(other) + " IS NOW " + old;
        break;
    }
    }
}

std::vector<std::pair<std::string, std::string>> PauseMenu::Rows(const Settings& settings) const {
    std::vector<std::pair<std::string, std::string>> rows;
    if (m_page == Page::Accessibility) {
        rows.emplace_back("PALETTE", paletteLabel(settings.palette));
        rows.emplace_back("TEXT SIZE", percent(settings.textSize));
        rows.emplace_back("REDUCED MOTION",
                          onOff(settings.reducedMotion.value_or(m_systemReducedMotion)));
        rows.emplace_back("GAME SPEED", percent(settings.gameSpeed));
        rows.emplace_back("MOVEMENT", settings.toggleMovement ? "TOGGLE" : "HOLD");
        rows.emplace_back("HAPTICS", onOff(settings.haptics));
        rows.emplace_back("BACK", "");
        return rows;
    }
    if (m_page == Page::Main) {
        if (m_resumable) rows.emplace_back("RESUME", "");
        rows.emplace_back("MUSIC VOLUME", percent(settings.musicVolume));
        rows.emplace_back("EFFECTS VOLUME", percent(settings.effectsVolume));
        rows.emplace_back("FULL SCREEN", onOff(settings.fullScreen));
        rows.emplace_back("PAUSE WHEN THE WINDOW LOSES FOCUS", onOff(settings.pauseOnFocusLoss));
        rows.emplace_back("CONTROLS", "");
        rows.emplace_back("ACCESSIBILITY", "");
        rows.emplace_back("QUIT", "");
        return rows;
    }
    for (int row = 0; row < kResetRow; ++row) {
        std::string value =
            row < Bindings::kKeyCount
                ? KeyLabel(settings.bindings.keys[static_cast<std::size_t>(row)])
                : ButtonLabel(settings.bindings
                                  .buttons[static_cast<std::size_t>(row - Bindings::kKeyCount)]);
        rows.emplace_back(rowLabel(row), row == m_waitingRow ? "..." : value);
    }
    rows.emplace_back("RESET TO DEFAULTS", "");
    rows.emplace_back("BACK", "");
    return rows;
}

PauseMenu::Line& PauseMenu::LineFor(std::size_t index, vexa::Renderer& renderer,
                                    const std::string& words, int size) {
    if (m_lines.size() <= index) m_lines.resize(index + 1);
    Line& line = m_lines[index];
    if (!line.text || line.shown != words || line.size != size) {
        if (!line.text) line.text = std::make_unique<vexa::Text>(m_font);
        line.text->Create(renderer, words.empty() ? " " : words, kWhite, size);
        line.shown = words;
        line.size = size;
    }
    return line;
}

PauseMenu::Extent PauseMenu::Measure(vexa::Renderer& renderer,
                                     const std::vector<std::string>& heading,
                                     const std::vector<std::pair<std::string, std::string>>& rows,
                                     int size) {
    Extent extent;
    int headingHeight = 0;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const vexa::Text& text = *LineFor(i, renderer, heading[i], size).text;
        extent.width = std::max(extent.width, text.GetWidth());
        headingHeight += text.GetHeight();
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int label = LineFor(2 + 2 * i, renderer, rows[i].first, size).text->GetWidth();
        const int value = rows[i].second.empty()
                              ? 0
                              : LineFor(3 + 2 * i, renderer, rows[i].second, size).text->GetWidth();
        extent.widestValue = std::max(extent.widestValue, value);
        extent.width = std::max(extent.width, label + (value > 0 ? kColumnGap + value : 0));
    }
    const int pitch = LineFor(0, renderer, heading[0], size).text->GetHeight() + kGap / 2;
    // The controls page keeps a line for its notices, so that the rows stay
    // where the player is pointing when one appears.
    extent.lines = static_cast<int>(rows.size()) + (m_page == Page::Controls ? 1 : 0);
    extent.headingHeight = headingHeight + 3 * kGap;
    extent.height = extent.headingHeight + extent.lines * pitch;
    return extent;
}

int PauseMenu::FittedSize(vexa::Renderer& renderer, const std::vector<std::string>& heading,
                          const std::vector<std::pair<std::string, std::string>>& rows,
                          int wanted) {
    std::string key = std::to_string(wanted) + ' ' + std::to_string(renderer.GetWidth()) + ' ' +
                      std::to_string(renderer.GetHeight());
    for (const std::string& words : heading) key.append(1, '\n').append(words);
    for (const auto& [label, value] : rows)
        key.append(1, '\n').append(label).append(1, '\t').append(value);
    if (key == m_fittedFor) return m_fittedSize;

    // Larger words keep clear of the score and the record, which are larger
    // too; at the usual size the panel stays where it always was.
    m_topReserve = 0;
    if (wanted > kSmallestTextSize) {
        m_topReserve = kTopLineEdge + LineFor(0, renderer, heading[0], wanted).text->GetHeight();
    }
    int size = wanted;
    for (; size > kSmallestTextSize; size -= kFitStep) {
        const Extent extent = Measure(renderer, heading, rows, size);
        if (extent.width + 2 * kMargin <= renderer.GetWidth() &&
            extent.height + 2 * kMargin + m_topReserve <= renderer.GetHeight()) {
            break;
        }
    }
    m_fittedFor = key;
    m_fittedSize = std::max(size, kSmallestTextSize);
    return m_fittedSize;
}

int PauseMenu::RowAt(float x, float y) const {
    if (m_rowPitch <= 0 || x < static_cast<float>(m_rowsLeft) ||
        x >= static_cast<float>(m_rowsLeft + m_rowsWidth) || y < static_cast<float>(m_rowsTop)) {
        return -1;
    }
    const int slot =
        static_cast<int>((y - static_cast<float>(m_rowsTop)) / static_cast<float>(m_rowPitch));
    if (!m_scrolling) return FirstRow() + slot < RowCount() ? FirstRow() + slot : -1;
    if (slot == 0) return More(false) ? kMoreAbove : -1;
    if (slot == m_shownRows + 1) return More(true) ? kMoreBelow : -1;
    return slot <= m_shownRows ? FirstRow() + m_scroll + slot - 1 : -1;
}

bool PauseMenu::More(bool down) const {
    if (!m_scrolling) return false;
    return down ? m_scroll + m_shownRows < RowCount() - FirstRow() : m_scroll > 0;
}

int PauseMenu::SlotOf(int row) const {
    const int index = row - FirstRow();
    if (!m_scrolling) return index;
    if (index < m_scroll || index >= m_scroll + m_shownRows) return -1;
    return index - m_scroll + 1;
}

void PauseMenu::Scroll(int direction) {
    const int rows = RowCount() - FirstRow();
    m_scroll = std::clamp(m_scroll + direction, 0, std::max(0, rows - m_shownRows));
    const int first = FirstRow() + m_scroll;
    m_cursor = std::clamp(m_cursor, first, first + m_shownRows - 1);
}

bool PauseMenu::RowPlace(int row, int& x, int& y) const {
    if (m_rowPitch <= 0 || row < FirstRow() || row >= RowCount() || SlotOf(row) < 0) return false;
    x = m_rowsLeft + m_rowsWidth / 2;
    y = m_rowsTop + SlotOf(row) * m_rowPitch + m_rowPitch / 2;
    return true;
}

bool PauseMenu::MorePlace(bool down, int& x, int& y) const {
    if (!More(down)) return false;
    x = m_rowsLeft + m_rowsWidth / 2;
    y = m_rowsTop + (down ? m_shownRows + 1 : 0) * m_rowPitch + m_rowPitch / 2;
    return true;
}

bool PauseMenu::ValuePlace(int row, int& x, int& y) const {
    if (!RowPlace(row, x, y)) return false;
    x = m_valueMiddle;
    return true;
}

void PauseMenu::Draw(vexa::Renderer& renderer, const Settings& settings) {
    // On a black panel, so no line of the frozen picture runs through the words.
    const Bindings& keys = settings.bindings;
    const std::vector<std::string> heading = {m_resumable ? "PAUSED" : "OPTIONS",
                                              "PRESS " + KeyLabel(keys.keys[Bindings::Pause]) +
                                                  " OR " +
                                                  ButtonLabel(keys.buttons[Bindings::PadPause]) +
                                                  (m_resumable ? " TO RESUME" : " TO CLOSE")};
    const auto rows = Rows(settings);
    const int size = FittedSize(renderer, heading, rows,
                                std::clamp(settings.textSize, kSmallestTextSize, kLargestTextSize));
    const Extent extent = Measure(renderer, heading, rows, size);
    const int width = extent.width;
    const int widestValue = extent.widestValue;
    vexa::Text& caption = *m_lines[0].text;
    vexa::Text& hint = *m_lines[1].text;
    const std::size_t noticeLine = 2 + 2 * rows.size();
    vexa::Text& notice = *LineFor(noticeLine, renderer, m_notice, size).text;

    const int textPitch = caption.GetHeight() + kGap / 2;
    int pitch = textPitch;
    int height = extent.height;
    // Each line's words stand this far down its row.
    int inset = kGap / 4;
    const int rowCount = static_cast<int>(rows.size());
    m_scrolling = false;
    m_shownRows = rowCount;
    int topReserve = m_topReserve;
    if (m_fingerScale > 0.0f) {
        // The taller panel keeps clear of the score and the record at any size.
        topReserve = std::max(topReserve, kTopLineEdge + caption.GetHeight());
        // A finger's width apart; the rows that then do not fit scroll.
        pitch = std::max(textPitch, static_cast<int>(std::ceil(kFingerPitch / m_fingerScale)));
        inset += (pitch - textPitch) / 2;
        const int notices = extent.lines - rowCount;
        const int room = renderer.GetHeight() - 2 * kMargin - topReserve - extent.headingHeight;
        const int slots = room / pitch - notices;
        if (slots < rowCount) {
            m_scrolling = true;
            m_shownRows = std::max(1, slots - 2);
            // The highlighted row is always among those shown.
            const int index = m_cursor - FirstRow();
            m_scroll = std::clamp(m_scroll, index - m_shownRows + 1, index);
            m_scroll = std::clamp(m_scroll, 0, rowCount - m_shownRows);
        } else {
            m_scroll = 0;
        }
        height =
            extent.headingHeight + (m_scrolling ? m_shownRows + 2 + notices : extent.lines) * pitch;
    }
    const int left = (renderer.GetWidth() - width) / 2;
    const int top = std::max(kMargin + topReserve, (renderer.GetHeight() - height) / 2);
    renderer.SetColor(0, 0, 0, 255);
    renderer.FillRect(static_cast<float>(left - kMargin), static_cast<float>(top - kMargin),
                      static_cast<float>(width + 2 * kMargin),
                      static_cast<float>(height + 2 * kMargin));
    caption.Draw(renderer, (renderer.GetWidth() - caption.GetWidth()) / 2, top);
    hint.Draw(renderer, (renderer.GetWidth() - hint.GetWidth()) / 2,
              top + caption.GetHeight() + kGap);

    m_rowsLeft = left - kGap;
    m_rowsWidth = width + 2 * kGap;
    m_rowsTop = top + caption.GetHeight() + kGap + hint.GetHeight() + 2 * kGap;
    m_rowPitch = pitch;
    m_valueMiddle = left + width - widestValue / 2;
    m_valueLeft = m_valueMiddle - widestValue / 2 - kColumnGap;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int slot = SlotOf(FirstRow() + static_cast<int>(i));
        if (slot < 0) continue;
        const int y = m_rowsTop + slot * pitch;
        m_lines[2 + 2 * i].text->Draw(renderer, left, y + inset);
        if (!rows[i].second.empty()) {
            vexa::Text& value = *m_lines[3 + 2 * i].text;
            value.Draw(renderer, left + width - value.GetWidth(), y + inset);
        }
    }
    // The signs of more rows: chevrons pointing the way the rows go on.
    for (const bool down : {false, true}) {
        int x = 0;
        int y = 0;
        if (!MorePlace(down, x, y)) continue;
        renderer.SetColor(255, 255, 255, 255);
        const auto tipX = static_cast<float>(x);
        const float reach = down ? kMoreHalfHeight : -kMoreHalfHeight;
        const float tipY = static_cast<float>(y) + reach;
        const float baseY = static_cast<float>(y) - reach;
        renderer.DrawLine(tipX - kMoreHalfWidth, baseY, tipX, tipY);
        renderer.DrawLine(tipX, tipY, tipX + kMoreHalfWidth, baseY);
    }
    if (!m_notice.empty()) {
        const int noticeLeft = (renderer.GetWidth() - notice.GetWidth()) / 2;
        const int lines = m_scrolling ? m_shownRows + 2 : static_cast<int>(rows.size());
        const int noticeTop = m_rowsTop + lines * pitch + inset;
        // Wider than the panel, a notice has a black band of its own.
        if (notice.GetWidth() > width) {
            renderer.SetColor(0, 0, 0, 255);
            renderer.FillRect(static_cast<float>(noticeLeft - kGap),
                              static_cast<float>(noticeTop) - static_cast<float>(kGap) / 2.0f,
                              static_cast<float>(notice.GetWidth() + 2 * kGap),
                              static_cast<float>(pitch + kGap));
        }
        notice.Draw(renderer, noticeLeft, noticeTop);
    }

    // The highlight is drawn in the game's own lines: a box round the row.
    const auto x0 = static_cast<float>(m_rowsLeft);
    const auto x1 = static_cast<float>(m_rowsLeft + m_rowsWidth - 1);
    const auto y0 = static_cast<float>(m_rowsTop + SlotOf(m_cursor) * pitch);
    const auto y1 = y0 + static_cast<float>(pitch - 1);
    renderer.SetColor(255, 255, 255, 255);
    renderer.DrawLine(x0, y0, x1, y0);
    renderer.DrawLine(x1, y0, x1, y1);
    renderer.DrawLine(x1, y1, x0, y1);
    renderer.DrawLine(x0, y1, x0, y0);
}
