#pragma once

#include "Palette.h"

#include "core/File.h"
#include "renderer/Renderer.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {
class KeptFiles;
}

// The keys and controller buttons the player has chosen. Keys are SDL
// scancodes, buttons SDL_GameControllerButton values. The arrow keys, Enter
// and Escape keep their meaning whatever is bound, and so do a controller's A
// (choose) and B (back), so a player can always find the way back through the
// menu.
struct Bindings {
    enum Key : int { Up, Down, Start, Pause, Mute, FullScreen, kKeyCount };
    enum Button : int { PadStart, PadPause, kButtonCount };
    enum class Result { Bound, Swapped, Refused };

    Bindings();

    // Gives `action` the key `scancode`. A key another action has is swapped:
    // that action takes this one's old key. A key that is never free (Escape,
    // the arrows, Enter, R) is refused.
    Result BindKey(Key action, int scancode);
    // The same for a button; also refused when the swap would hand the other
    // action a button it may not have.
    Result BindButton(Button action, int button);
    // The action holding `scancode`, or kKeyCount.
    Key KeyAction(int scancode) const;
    Button ButtonAction(int button) const;
    static bool KeyReserved(int scancode);
    // A button no action may have: B, Y and the pad's arrows.
    static bool ButtonReserved(int button);
    // Whether `action` may not have `button`. A chooses in the menu, so only
    // the start action, which choosing means anyway, may hold it: on pause it
    // would close the menu it opens.
    static bool ButtonReserved(int button, Button action);

    bool operator==(const Bindings& other) const {
        return keys == other.keys && buttons == other.buttons;
    }
    bool operator!=(const Bindings& other) const { return !(*this == other); }

    std::array<int, kKeyCount> keys;
    std::array<int, kButtonCount> buttons;
};

// What a player sets once and the game remembers between runs. Every default
// is the game as it plays out of the box.
struct Settings {
    static constexpr int kVolumeStep = 10;
    // Percent, in steps of kVolumeStep.
    int musicVolume = 100;
    int effectsVolume = 100;
    bool fullScreen = false;
    bool pauseOnFocusLoss = true;
    // Where the window was left; none until it has been placed.
    std::optional<vexa::Renderer::WindowPlace> window;
    Bindings bindings;

    // Accessibility. None of these changes the game at its default.
    PaletteName palette = PaletteName::Standard;
    // Percent of the texts' size: 100, 125 or 150.
    int textSize = 100;
    // Still stars, rings for explosions. None until the player chooses: the
    // browser then follows the system's wish for reduced motion.
    std::optional<bool> reducedMotion;
    // Percent of real time the rules run at, from 100 down to 50 in steps of
    // 10; below 100 a run is an assisted one.
    int gameSpeed = 100;
    // A press of up or down keeps the ship moving that way until the other,
    // or the same again, is pressed.
    bool toggleMovement = false;
    // A controller's rumble and a phone's vibration as the ship is hit.
    bool haptics = true;

    static constexpr int kGameSpeedStep = 10;
    static constexpr int kSlowestGameSpeed = 50;

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};

// The settings file as a file the player keeps, with its merge rule.
void KeepSettingsFile(vexa::KeptFiles& kept);

// A line of a settings file that was not taken, and why.
struct SettingsProblem {
    std::size_t line = 0;
    std::string reason;
};

// Reads the `key = value` lines of `text` over `settings`. Blank lines and
// lines starting with '#' are skipped; every other line that makes no sense
// is left out, the rest still taken. Returns the lines left out.
std::vector<SettingsProblem> ParseSettings(std::string_view text, Settings& settings);
// The text ParseSettings reads back as `settings`.
std::string FormatSettings(const Settings& settings);

// `mine` over `theirs`, field by field, wherever `mine` differs from `base`:
// what one copy of the game changed since `base` goes over what another copy
// stored meanwhile. The keys, the buttons and the window each go as one.
Settings MergeSettings(const Settings& mine, const Settings& base, const Settings& theirs);

// `text` fit for a one-line message: control characters and bytes that are no
// UTF-8 shown as "\x1b", and at most kShownChars characters, then "…".
std::string ShownText(std::string_view text);
inline constexpr std::size_t kShownChars = 80;

// The settings file "settings.txt" in one directory.
class SettingsFile {
public:
    // A file larger than this is no settings file.
    static constexpr std::uintmax_t kMaxBytes = std::uintmax_t{64} * 1024;

    explicit SettingsFile(const std::filesystem::path& directory);

    // The file's settings over the defaults. Nothing is said of a missing
    // file, unless one kept aside is beside it; a file that cannot be read,
    // or lines that make no sense, give one line on stderr naming the file
    // and the first such line.
    Settings Load();
    // Writes what `settings` change since the last Load or Save over what
    // the file holds now (another copy of the game may have saved since),
    // durably, creating the directory. A file found unusable then is kept as
    // "settings.txt.bak" (an older one there stays), and stays in place
    // until the new file has replaced it, so nothing the player wrote is
    // lost. False, with one line saying why, when it could not be written.
    bool Save(const Settings& settings);
    // Save, when `settings` differ from what was loaded or last saved.
    bool SaveIfChanged(const Settings& settings);

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path AsidePath() const;
    bool MoveAsideUnusable(std::string& reason) const;
    bool KeepAside(const vexa::FileContents& current) const;

    std::filesystem::path m_path;
    // What this copy last loaded or saved: its changes are what differs.
    Settings m_stored;
};
