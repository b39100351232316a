#include "Settings.h"

#include "core/File.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iostream>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

const char* const kFileName = "settings.txt";
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

// SDL's own names, which a person recognises ("Space", "Left Shift"), in any case.
int scancodeFromName(std::string_view name) {
    if (name.empty()) return SDL_SCANCODE_UNKNOWN;
    return static_cast<int>(SDL_GetScancodeFromName(std::string(name).c_str()));
}

int buttonFromName(std::string_view name) {
    if (name.empty()) return SDL_CONTROLLER_BUTTON_INVALID;
    return static_cast<int>(SDL_GameControllerGetButtonFromString(lower(name).c_str()));
}

template <typename Names>
int indexOf(const Names& names, std::string_view key) {
    const auto found = std::find(std::begin(names), std::end(names), key);
    return found == std::end(names) ? -1 : static_cast<int>(found - std::begin(names));
}

// Reads one `key = value` line into `settings`; empty when taken, or why not.
// `given` marks the bindings earlier lines set: a later line may not take
// their key, while a key still held by default moves aside.
std::string takeLine(std::string_view key, std::string_view value, Settings& settings,
                     std::array<bool, Bindings::kKeyCount>& givenKeys,
                     std::array<bool, Bindings::kButtonCount>& givenButtons) {
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
    if (key.substr(0, 7) == "window_") {
        vexa::Renderer::WindowPlace place =
            settings.window.value_or(vexa::Renderer::WindowPlace{100, 100, 800, 600, 0});
        const bool size = key == "window_width" || key == "window_height";
        const std::optional<int> number = parseInt(value, size ? 1 : -100000, 100000);
        int* field = key == "window_x"         ? &place.x
                     : key == "window_y"       ? &place.y
                     : key == "window_width"   ? &place.width
                     : key == "window_height"  ? &place.height
                     : key == "window_display" ? &place.display
                                               : nullptr;
        if (field == nullptr) return "there is no setting " + std::string(key);
        if (!number || (field == &place.display && *number < 0))
            return std::string(key) + " takes a whole number" + (size ? " above 0" : "");
        *field = *number;
        settings.window = place;
        return {};
    }
    if (const int action = indexOf(kKeyNames, key); action >= 0) {
        const int scancode = scancodeFromName(value);
        if (scancode == SDL_SCANCODE_UNKNOWN) return "there is no key named " + std::string(value);
        if (Bindings::KeyReserved(scancode)) return std::string(value) + " cannot be bound";
        const Bindings::Key holder = settings.bindings.KeyAction(scancode);
        if (holder != Bindings::kKeyCount && holder != action &&
            givenKeys[static_cast<std::size_t>(holder)]) {
            return std::string(value) + " is already the key for " + kActionNames[holder];
        }
        settings.bindings.BindKey(static_cast<Bindings::Key>(action), scancode);
        givenKeys[static_cast<std::size_t>(action)] = true;
        return {};
    }
    if (const int action = indexOf(kButtonNames, key); action >= 0) {
        const int button = buttonFromName(value);
        if (button == SDL_CONTROLLER_BUTTON_INVALID)
            return "there is no controller button named " + std::string(value);
        if (Bindings::ButtonReserved(button)) return std::string(value) + " cannot be bound";
        const Bindings::Button holder = settings.bindings.ButtonAction(button);
        if (holder != Bindings::kButtonCount && holder != action &&
            givenButtons[static_cast<std::size_t>(holder)]) {
            return std::string(value) + " is already the button for " +
                   kActionNames[holder == Bindings::PadStart ? Bindings::Start : Bindings::Pause];
        }
        settings.bindings.BindButton(static_cast<Bindings::Button>(action), button);
        givenButtons[static_cast<std::size_t>(action)] = true;
        return {};
    }
    return "there is no setting " + std::string(key);
}

const char* yesNo(bool on) {
    return on ? "yes" : "no";
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

Bindings::Key Bindings::KeyAction(int scancode) const {
    const auto found = std::find(keys.begin(), keys.end(), scancode);
    return found == keys.end() ? kKeyCount : static_cast<Key>(found - keys.begin());
}

Bindings::Button Bindings::ButtonAction(int button) const {
    const auto found = std::find(buttons.begin(), buttons.end(), button);
    return found == buttons.end() ? kButtonCount : static_cast<Button>(found - buttons.begin());
}

Bindings::Result Bindings::BindKey(Key action, int scancode) {
    if (KeyReserved(scancode) || action < 0 || action >= kKeyCount) return Result::Refused;
    const auto slot = static_cast<std::size_t>(action);
    const Key holder = KeyAction(scancode);
    if (holder == action) return Result::Bound;
    if (holder == kKeyCount) {
        keys[slot] = scancode;
        return Result::Bound;
    }
    std::swap(keys[slot], keys[static_cast<std::size_t>(holder)]);
    return Result::Swapped;
}

Bindings::Result Bindings::BindButton(Button action, int button) {
    if (ButtonReserved(button) || action < 0 || action >= kButtonCount) return Result::Refused;
    const auto slot = static_cast<std::size_t>(action);
    const Button holder = ButtonAction(button);
    if (holder == action) return Result::Bound;
    if (holder == kButtonCount) {
        buttons[slot] = button;
        return Result::Bound;
    }
    std::swap(buttons[slot], buttons[static_cast<std::size_t>(holder)]);
    return Result::Swapped;
}

bool Settings::operator==(const Settings& other) const {
    return musicVolume == other.musicVolume && effectsVolume == other.effectsVolume &&
           fullScreen == other.fullScreen && pauseOnFocusLoss == other.pauseOnFocusLoss &&
           window == other.window && bindings == other.bindings;
}

std::string KeyName(int scancode) {
    const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
    return name != nullptr && *name != '\0' ? name : "?";
}

std::string ButtonName(int button) {
    const char* name =
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
    return name != nullptr ? name : "?";
}

std::vector<SettingsProblem> ParseSettings(std::string_view text, Settings& settings) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<SettingsProblem> problems;
    std::array<bool, Bindings::kKeyCount> givenKeys{};
    std::array<bool, Bindings::kButtonCount> givenButtons{};
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
            reason = takeLine(trim(line.substr(0, equals)), trim(line.substr(equals + 1)), settings,
                              givenKeys, givenButtons);
        }
        if (!reason.empty()) problems.push_back({number, std::move(reason)});
    }
    return problems;
}

std::string FormatSettings(const Settings& settings) {
    std::string text =
        "# ZAP207's settings, one \"key = value\" a line. Volumes are percent, in steps\n"
        "# of 10. Keys and buttons go by their names as SDL gives them (\"Space\", \"F11\",\n"
        "# \"Left Shift\"; \"a\", \"start\"); Escape, the arrows, Enter and R cannot be bound.\n";
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
    for (std::size_t i = 0; i < Bindings::kKeyCount; ++i) {
        put(kKeyNames[i], KeyName(settings.bindings.keys[i]));
    }
    for (std::size_t i = 0; i < Bindings::kButtonCount; ++i) {
        put(kButtonNames[i], ButtonName(settings.bindings.buttons[i]));
    }
    return text;
}

SettingsFile::SettingsFile(const fs::path& directory)
    : m_path{directory.empty() ? fs::path() : directory / kFileName} {}

Settings SettingsFile::Load() {
    Settings settings;
    if (m_path.empty()) return settings;
    const vexa::FileContents file = vexa::ReadDataFile(m_path, kMaxBytes, vexa::FileWait::Brief);
    if (file.status == vexa::FileContents::Status::Missing) return settings;
    if (!file.Ok()) {
        vexa::ReportLoadFailure("settings", m_path, file.reason);
        m_keepAside = true;
        return settings;
    }
    const std::vector<SettingsProblem> problems = ParseSettings(file.bytes, settings);
    m_stored = settings;
    if (problems.empty()) return settings;
    m_keepAside = true;
    std::cerr << "Ignoring line " << problems.front().line << " of settings " << m_path.u8string()
              << ": " << problems.front().reason;
    if (problems.size() > 1) std::cerr << " (and " << problems.size() - 1 << " more lines)";
    std::cerr << std::endl;
    return settings;
}

bool SettingsFile::Save(const Settings& settings) {
    if (m_path.empty()) {
        std::cerr << "Cannot save settings: there is no home directory to keep them in"
                  << std::endl;
        return false;
    }
    std::error_code ec;
    if (m_path.has_parent_path()) fs::create_directories(m_path.parent_path(), ec);
    if (m_keepAside && fs::exists(fs::symlink_status(m_path, ec))) {
        fs::path aside = m_path;
        aside += ".bak";
        fs::rename(m_path, aside, ec);
        if (ec) {
            std::cerr << "Cannot save settings " << m_path.u8string()
                      << ": the old file cannot be kept aside as " << aside.u8string() << " ("
                      << ec.message() << ")" << std::endl;
            return false;
        }
    }
    if (!vexa::ReplaceFileDurably(m_path, FormatSettings(settings))) {
        std::cerr << "Cannot save settings " << m_path.u8string() << std::endl;
        return false;
    }
    m_keepAside = false;
    m_stored = settings;
    return true;
}

bool SettingsFile::SaveIfChanged(const Settings& settings) {
    return settings == m_stored || Save(settings);
}
