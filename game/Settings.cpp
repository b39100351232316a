#include "Settings.h"

#include "core/File.h"
#include "core/KeptFiles.h"
#include "input/InputSystem.h"

#include <SDL_gamecontroller.h>
#include <SDL_scancode.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

const char* const kFileName = "settings.txt";
// A side of a window no display comes near; larger ones have crashed graphics drivers.
constexpr int kMaxWindowSide = 16384;
constexpr int kMaxWindowReach = 100000;
const char* const kKeyNames[Bindings::kKeyCount] = {"key_up",    "key_down", "key_start",
                                                    "key_pause", "key_mute", "key_full_screen"};
const char* const kButtonNames[Bindings::kButtonCount] = {"button_start", "button_pause"};
const char* const kActionNames[Bindings::kKeyCount] = {"up",    "down", "start",
                                                       "pause", "mute", "full screen"};

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::optional<int> parseInt(std::string_view text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<bool> parseBool(std::string_view text) {
    const std::string word = lower(text);
    if (word == "yes" || word == "on" || word == "true" || word == "1") return true;
    if (word == "no" || word == "off" || word == "false" || word == "0") return false;
    return std::nullopt;
}

template <typename Names>
int indexOf(const Names& names, std::string_view key) {
    const auto found = std::find(std::begin(names), std::end(names), key);
    return found == std::end(names) ? -1 : static_cast<int>(found - std::begin(names));
}

// Where a button line moved the button an action held by default.
struct ButtonMove {
    std::size_t line = 0;
    int action = 0;
};

const char* buttonActionName(int button) {
    return kActionNames[button == Bindings::PadStart ? Bindings::Start : Bindings::Pause];
}

// Reads one `key = value` line into `settings`; empty when taken, or why not.
// `given` marks the bindings earlier lines set: a later line may not take
// their key, while a key still held by default moves aside.
std::string takeLine(std::size_t line, std::string_view key, std::string_view value,
                     Settings& settings, std::array<bool, Bindings::kKeyCount>& givenKeys,
                     std::array<bool, Bindings::kButtonCount>& givenButtons,
                     std::array<ButtonMove, Bindings::kButtonCount>& movedBy) {
    if (key == "music_volume" || key == "effects_volume") {
        const std::optional<int> percent = parseInt(value, 0, 100);
        if (!percent) return std::string(key) + " takes a whole number from 0 to 100";
        const int stepped =
            (*percent + Settings::kVolumeStep / 2) / Settings::kVolumeStep * Settings::kVolumeStep;
        (key == "music_volume" ? settings.musicVolume : settings.effectsVolume) = stepped;
        return {};
    }
    if (key == "full_screen" || key == "pause_on_focus_loss") {
        const std::optional<bool> on = parseBool(value);
        if (!on) return std::string(key) + " takes yes or no";
        (key == "full_screen" ? settings.fullScreen : settings.pauseOnFocusLoss) = *on;
        return {};
    }
    if (key == "palette") {
        const std::optional<PaletteName> palette = ParsePaletteName(value);
        if (!palette) return "palette takes standard, red-green, blue-yellow or high-contrast";
        settings.palette = *palette;
        return {};
    }
    if (key == "text_size") {
        const std::optional<int> percent = parseInt(value, 100, 150);
        if (!percent || *percent % 25 != 0) return "text_size takes 100, 125 or 150";
        settings.textSize = *percent;
        return {};
    }
    if (key == "game_speed") {
        const std::optional<int> percent = parseInt(value, Settings::kSlowestGameSpeed, 100);
        if (!percent || *percent % Settings::kGameSpeedStep != 0)
            return "game_speed takes 100, 90, 80, 70, 60 or 50";
        settings.gameSpeed = *percent;
        return {};
    }
    if (key == "movement") {
        const std::string word = lower(value);
        if (word != "hold" && word != "toggle") return "movement takes hold or toggle";
        settings.toggleMovement = word == "toggle";
        return {};
    }
    if (key == "reduced_motion" || key == "haptics") {
        const std::optional<bool> on = parseBool(value);
        if (!on) return std::string(key) + " takes on or off";
        if (key == "haptics") {
            settings.haptics = *on;
        } else {
            settings.reducedMotion = *on;
        }
        return {};
    }
    if (key.substr(0, 7) == "window_") {
        vexa::Renderer::WindowPlace place =
            settings.window.value_or(vexa::Renderer::WindowPlace{100, 100, 800, 600, 0});
        const bool size = key == "window_width" || key == "window_height";
        const std::optional<int> number =
            parseInt(value, size ? 1 : -kMaxWindowReach, size ? kMaxWindowSide : kMaxWindowReach);
        int* field = key == "window_x"         ? &place.x
                     : key == "window_y"       ? &place.y
                     : key == "window_width"   ? &place.width
                     : key == "window_height"  ? &place.height
                     : key == "window_display" ? &place.display
                                               : nullptr;
        if (field == nullptr) return "there is no setting " + ShownText(key);
        if (!number || (field == &place.display && *number < 0)) {
            return std::string(key) + " takes a whole number" +
                   (size ? " from 1 to " + std::to_string(kMaxWindowSide) : "");
        }
        *field = *number;
        settings.window = place;
        return {};
    }
    if (const int action = indexOf(kKeyNames, key); action >= 0) {
        const int scancode = vexa::KeyFromName(value);
        if (scancode == vexa::kNoKey) return "there is no key named " + ShownText(value);
        if (Bindings::KeyReserved(scancode)) return ShownText(value) + " cannot be bound";
        const Bindings::Key holder = settings.bindings.KeyAction(scancode);
        if (holder != Bindings::kKeyCount && holder != action &&
            givenKeys[static_cast<std::size_t>(holder)]) {
            return ShownText(value) + " is already the key for " + kActionNames[holder];
        }
        settings.bindings.BindKey(static_cast<Bindings::Key>(action), scancode);
        givenKeys[static_cast<std::size_t>(action)] = true;
        return {};
    }
    if (const int action = indexOf(kButtonNames, key); action >= 0) {
        const int button = vexa::ButtonFromName(value);
        if (button == vexa::kNoButton)
            return "there is no controller button named " + ShownText(value);
        if (Bindings::ButtonReserved(button, static_cast<Bindings::Button>(action)))
            return ShownText(value) + " cannot be bound";
        const Bindings::Button holder = settings.bindings.ButtonAction(button);
        if (holder != Bindings::kButtonCount && holder != action &&
            givenButtons[static_cast<std::size_t>(holder)]) {
            return ShownText(value) + " is already the button for " + buttonActionName(holder);
        }
        // A button still held by default moves to the other action even where
        // that action may not have it: a later line may give it another, and
        // what is left wrong once the whole file is read is put right then.
        auto& buttons = settings.bindings.buttons;
        if (holder != Bindings::kButtonCount && holder != action) {
            buttons[static_cast<std::size_t>(holder)] = buttons[static_cast<std::size_t>(action)];
            movedBy[static_cast<std::size_t>(holder)] = {line, action};
        }
        buttons[static_cast<std::size_t>(action)] = button;
        givenButtons[static_cast<std::size_t>(action)] = true;
        return {};
    }
    return "there is no setting " + ShownText(key);
}

// A button an action was left with by another action's line although it may
// not have it (A on pause): that line is not taken after all.
void undoForbiddenMoves(Settings& settings,
                        const std::array<ButtonMove, Bindings::kButtonCount>& movedBy,
                        std::array<bool, Bindings::kButtonCount>& givenButtons,
                        std::vector<SettingsProblem>& problems) {
    auto& buttons = settings.bindings.buttons;
    for (std::size_t held = 0; held < Bindings::kButtonCount; ++held) {
        const auto action = static_cast<Bindings::Button>(held);
        if (givenButtons[held] || !Bindings::ButtonReserved(buttons[held], action)) continue;
        const ButtonMove& move = movedBy[held];
        const auto mover = static_cast<std::size_t>(move.action);
        problems.push_back({move.line, vexa::ButtonName(buttons[mover]) +
                                           " cannot be bound: " + buttonActionName(action) +
                                           " would be left on " + vexa::ButtonName(buttons[held])});
        std::swap(buttons[held], buttons[mover]);
        givenButtons[mover] = false;
    }
}

const char* yesNo(bool on) {
    return on ? "yes" : "no";
}

// The length of the UTF-8 sequence at the start of `text` that encodes a
// printable character, or 0.
std::size_t printableSequence(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return lead >= 0x20 && lead != 0x7f ? 1 : 0;
    const std::size_t length = lead >= 0xf0 && lead <= 0xf4  ? 4
                               : lead >= 0xe0                ? 3
                               : lead >= 0xc2 && lead < 0xe0 ? 2
                                                             : 0;
    if (length == 0 || length > text.size()) return 0;
    unsigned long code = lead & (0x7fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3fu);
    }
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    // Overlong forms, surrogates and C1 controls (the terminal's escapes) are shown as bytes.
    if (code < least[length] || (code >= 0xd800 && code < 0xe000) || code > 0x10ffff ||
        (code >= 0x80 && code < 0xa0)) {
        return 0;
    }
    return length;
}

}  // namespace

Bindings::Bindings()
    : keys{SDL_SCANCODE_W, SDL_SCANCODE_S, SDL_SCANCODE_SPACE,
           SDL_SCANCODE_P, SDL_SCANCODE_M, SDL_SCANCODE_F11},
      buttons{SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_START} {}

bool Bindings::KeyReserved(int scancode) {
    switch (scancode) {
    case SDL_SCANCODE_ESCAPE:
    case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN:
    case SDL_SCANCODE_LEFT:
    case SDL_SCANCODE_RIGHT:
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_R:
        return true;
    default:
        return scancode <= SDL_SCANCODE_UNKNOWN || scancode >= SDL_NUM_SCANCODES;
    }
}

bool Bindings::ButtonReserved(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_Y:
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return true;
    default:
        return button <= SDL_CONTROLLER_BUTTON_INVALID || button >= SDL_CONTROLLER_BUTTON_MAX;
    }
}

bool Bindings::ButtonReserved(int button, Button action) {
    return ButtonReserved(button) || (button == SDL_CONTROLLER_BUTTON_A && action != PadStart);
}

Bindings::Key Bindings::KeyAction(int scancode) const {
    const auto found = std::find(keys.begin(), keys.end(), scancode);
    return found == keys.end() ? kKeyCount : static_cast<Key>(found - keys.begin());
}

Bindings::Button Bindings::ButtonAction(int button) const {
    const auto found = std::find(buttons.begin(), buttons.end(), button);
    return found == buttons.end() ? kButtonCount : static_cast<Button>(found - buttons.begin());
}

namespace {

// Gives `action` the input `code` among `held` (the keys or the buttons),
// swapping with the action holding it. `mayHold(code, action)` says whether an
// action may have an input, the swapped one included.
template <std::size_t Count, typename MayHold>
Bindings::Result bindInput(std::array<int, Count>& held, int action, int code, MayHold mayHold) {
    if (action < 0 || action >= static_cast<int>(Count) || !mayHold(code, action))
        return Bindings::Result::Refused;
    const auto slot = static_cast<std::size_t>(action);
    const auto found = std::find(held.begin(), held.end(), code);
    if (found == held.end()) {
        held[slot] = code;
        return Bindings::Result::Bound;
    }
    const auto holder = static_cast<int>(found - held.begin());
    if (holder == action) return Bindings::Result::Bound;
    if (!mayHold(held[slot], holder)) return Bindings::Result::Refused;
    std::swap(held[slot], *found);
    return Bindings::Result::Swapped;
}

}  // namespace

Bindings::Result Bindings::BindKey(Key action, int scancode) {
    return bindInput(keys, action, scancode, [](int key, int) { return !KeyReserved(key); });
}

Bindings::Result Bindings::BindButton(Button action, int button) {
    return bindInput(buttons, action, button, [](int code, int holder) {
        return !ButtonReserved(code, static_cast<Button>(holder));
    });
}

bool Settings::operator==(const Settings& other) const {
    return musicVolume == other.musicVolume && effectsVolume == other.effectsVolume &&
           fullScreen == other.fullScreen && pauseOnFocusLoss == other.pauseOnFocusLoss &&
           window == other.window && bindings == other.bindings && palette == other.palette &&
           textSize == other.textSize && reducedMotion == other.reducedMotion &&
           gameSpeed == other.gameSpeed && toggleMovement == other.toggleMovement &&
           haptics == other.haptics;
}

std::vector<SettingsProblem> ParseSettings(std::string_view text, Settings& settings) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<SettingsProblem> problems;
    std::array<bool, Bindings::kKeyCount> givenKeys{};
    std::array<bool, Bindings::kButtonCount> givenButtons{};
    std::array<ButtonMove, Bindings::kButtonCount> movedBy{};
    std::size_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#') continue;
        const auto equals = line.find('=');
        std::string reason;
        if (equals == std::string_view::npos) {
            reason = "it is no \"key = value\" line";
        } else {
            reason = takeLine(number, trim(line.substr(0, equals)), trim(line.substr(equals + 1)),
                              settings, givenKeys, givenButtons, movedBy);
        }
        if (!reason.empty()) problems.push_back({number, std::move(reason)});
    }
    undoForbiddenMoves(settings, movedBy, givenButtons, problems);
    std::stable_sort(
        problems.begin(), problems.end(),
        [](const SettingsProblem& a, const SettingsProblem& b) { return a.line < b.line; });
    return problems;
}

Settings MergeSettings(const Settings& mine, const Settings& base, const Settings& theirs) {
    Settings merged = theirs;
    const auto take = [](auto& into, const auto& changed, const auto& was) {
        if (changed != was) into = changed;
    };
    take(merged.musicVolume, mine.musicVolume, base.musicVolume);
    take(merged.effectsVolume, mine.effectsVolume, base.effectsVolume);
    take(merged.fullScreen, mine.fullScreen, base.fullScreen);
    take(merged.pauseOnFocusLoss, mine.pauseOnFocusLoss, base.pauseOnFocusLoss);
    take(merged.window, mine.window, base.window);
    take(merged.bindings.keys, mine.bindings.keys, base.bindings.keys);
    take(merged.bindings.buttons, mine.bindings.buttons, base.bindings.buttons);
    take(merged.palette, mine.palette, base.palette);
    take(merged.textSize, mine.textSize, base.textSize);
    take(merged.reducedMotion, mine.reducedMotion, base.reducedMotion);
    take(merged.gameSpeed, mine.gameSpeed, base.gameSpeed);
    take(merged.toggleMovement, mine.toggleMovement, base.toggleMovement);
    take(merged.haptics, mine.haptics, base.haptics);
    return merged;
}

void KeepSettingsFile(vexa::KeptFiles& kept) {
    // A browser keeps the settings in a database another tab may have written
    // since this copy last read it: it merges there by the rule Save follows.
    kept.Keep(kFileName,
              [](std::string_view base, std::string_view fresh, std::string_view stored) {
                  Settings before;
                  Settings mine;
                  Settings theirs;
                  ParseSettings(base, before);
                  ParseSettings(fresh, mine);
                  ParseSettings(stored, theirs);
                  return FormatSettings(MergeSettings(mine, before, theirs));
              });
}

std::string ShownText(std::string_view text) {
    std::string shown;
    std::size_t chars = 0;
    while (!text.empty()) {
        if (chars == kShownChars) return shown + "\xE2\x80\xA6";
        const std::size_t length = printableSequence(text);
        if (length > 0) {
            shown.append(text.substr(0, length));
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[0]));
            shown += escaped;
        }
        text.remove_prefix(std::max<std::size_t>(length, 1));
        ++chars;
    }
    return shown;
}

std::string FormatSettings(const Settings& settings) {
    std::string text =
        "# ZAP207's settings, one \"key = value\" a line. Volumes are percent, in steps\n"
        "# of 10. Keys and buttons go by their names as SDL gives them (\"Space\", \"F11\",\n"
        "# \"Left Shift\"; \"a\", \"start\"); Escape, the arrows, Enter and R cannot be bound,\n"
        "# nor a controller's B, Y and pad arrows; its A only starts. palette is standard,\n"
        "# red-green, blue-yellow or high-contrast; text_size 100, 125 or 150; game_speed\n"
        "# 100 down to 50 in steps of 10 (below 100 a run counts apart); movement hold or\n"
        "# toggle; reduced_motion and haptics on or off.\n";
    const auto put = [&text](const std::string& key, const std::string& value) {
        text += key + " = " + value + "\n";
    };
    put("music_volume", std::to_string(settings.musicVolume));
    put("effects_volume", std::to_string(settings.effectsVolume));
    put("full_screen", yesNo(settings.fullScreen));
    put("pause_on_focus_loss", yesNo(settings.pauseOnFocusLoss));
    if (settings.window) {
        put("window_x", std::to_string(settings.window->x));
        put("window_y", std::to_string(settings.window->y));
        put("window_width", std::to_string(settings.window->width));
        put("window_height", std::to_string(settings.window->height));
        put("window_display", std::to_string(settings.window->display));
    }
    put("palette", std::string(FormatPaletteName(settings.palette)));
    put("text_size", std::to_string(settings.textSize));
    if (settings.reducedMotion) put("reduced_motion", *settings.reducedMotion ? "on" : "off");
    put("game_speed", std::to_string(settings.gameSpeed));
    put("movement", settings.toggleMovement ? "toggle" : "hold");
    put("haptics", settings.haptics ? "on" : "off");
    for (std::size_t i = 0; i < Bindings::kKeyCount; ++i) {
        put(kKeyNames[i], vexa::KeyName(settings.bindings.keys[i]));
    }
    for (std::size_t i = 0; i < Bindings::kButtonCount; ++i) {
        put(kButtonNames[i], vexa::ButtonName(settings.bindings.buttons[i]));
    }
    return text;
}

SettingsFile::SettingsFile(const fs::path& directory)
    : m_path{directory.empty() ? fs::path() : directory / kFileName} {}

fs::path SettingsFile::AsidePath() const {
    fs::path aside = m_path;
    aside += ".bak";
    return aside;
}

Settings SettingsFile::Load() {
    Settings settings;
    if (m_path.empty()) return settings;
    const vexa::FileContents file = vexa::ReadDataFile(m_path, kMaxBytes, vexa::FileWait::Brief);
    if (file.status == vexa::FileContents::Status::Missing) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(AsidePath(), ec))) {
            std::cerr << "No settings in " << m_path.u8string()
                      << "; the last ones kept aside are in " << AsidePath().u8string()
                      << std::endl;
        }
        return settings;
    }
    if (!file.Ok()) {
        vexa::ReportLoadFailure("settings", m_path, file.reason);
        return settings;
    }
    const std::vector<SettingsProblem> problems = ParseSettings(file.bytes, settings);
    m_stored = settings;
    if (problems.empty()) return settings;
    std::cerr << "Ignoring line " << problems.front().line << " of settings " << m_path.u8string()
              << ": " << problems.front().reason;
    if (problems.size() > 1) std::cerr << " (and " << problems.size() - 1 << " more lines)";
    std::cerr << std::endl;
    return settings;
}

// Something in the file's place that no replace can take over or read (a
// directory, a file this user may not read) is moved aside as it is: the
// name is the only thing of it that can be kept.
bool SettingsFile::MoveAsideUnusable(std::string& reason) const {
    std::error_code ec;
    const fs::file_status status = fs::status(m_path, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (fs::is_regular_file(status) && std::ifstream(m_path).is_open()) return true;
    const fs::path aside = AsidePath();
    if (fs::exists(fs::symlink_status(aside, ec))) {
        reason = "it cannot be replaced, and " + aside.u8string() + " is already taken";
        return false;
    }
    fs::rename(m_path, aside, ec);
    if (ec)
        reason =
            "the old file cannot be kept aside as " + aside.u8string() + " (" + ec.message() + ")";
    return !ec;
}

// Keeps an unusable file found in its place as the file aside, unless an
// older one is there already. The file itself stays where it is.
bool SettingsFile::KeepAside(const vexa::FileContents& current) const {
    const fs::path aside = AsidePath();
    std::error_code ec;
    if (fs::exists(fs::symlink_status(aside, ec))) return true;
    // Read whole, it is copied durably; too large to read, it gets a second
    // name, or is copied where the file system has no second names.
    if (current.Ok()) return vexa::WriteNewFile(aside, current.bytes);
    fs::create_hard_link(m_path, aside, ec);
    if (ec) fs::copy_file(m_path, aside, fs::copy_options::none, ec);
    return !ec;
}

bool SettingsFile::Save(const Settings& settings) {
    const std::string failure = "Cannot save settings " + m_path.u8string() + ": ";
    if (m_path.empty()) {
        std::cerr << "Cannot save settings: there is no home directory to keep them in"
                  << std::endl;
        return false;
    }
    std::error_code ec;
    if (m_path.has_parent_path()) fs::create_directories(m_path.parent_path(), ec);
    if (ec) {
        std::cerr << failure << ec.message() << std::endl;
        return false;
    }
    std::string reason;
    if (!MoveAsideUnusable(reason)) {
        std::cerr << failure << reason << std::endl;
        return false;
    }
    // Decided in the file's turn, on what it holds then.
    const auto decide = [this, &settings, &reason](const vexa::FileContents& current) {
        std::optional<std::string> bytes;
        Settings stored;
        const bool usable = current.Ok() && ParseSettings(current.bytes, stored).empty();
        if (!usable && current.status != vexa::FileContents::Status::Missing &&
            !KeepAside(current)) {
            reason = "the old file cannot be kept aside as " + AsidePath().u8string();
            return bytes;
        }
        bytes = FormatSettings(MergeSettings(settings, m_stored, stored));
        return bytes;
    };
    vexa::ReplaceOptions options;
    options.maxCurrentBytes = kMaxBytes;
    errno = 0;
    const vexa::ReplaceOutcome outcome = vexa::ReplaceFileDurably(m_path, decide, options);
    const int error = errno;
    if (outcome == vexa::ReplaceOutcome::Replaced) {
        m_stored = settings;
        return true;
    }
    if (reason.empty()) {
        const fs::file_status status = fs::status(m_path, ec);
        if (fs::is_regular_file(status) &&
            (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
            reason = "the file is read-only";
        } else if (error != 0) {
            reason = std::generic_category().message(error);
        } else {
            reason = "the file could not be replaced";
        }
    }
    std::cerr << failure << reason << std::endl;
    return false;
}

bool SettingsFile::SaveIfChanged(const Settings& settings) {
    return settings == m_stored || Save(settings);
}
