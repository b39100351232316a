#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The few things that differ between the platforms the game runs on. Each
// platform has one source file implementing these; nothing else in the engine
// or the game asks which platform it is on.
namespace vexa::platform {

// What a browser's storage, which another tab of the game may have written
// meanwhile, asks of the program about the files the player keeps: the rules
// are the program's own, the same on every platform. The desktop, where the
// file written is the file kept, asks nothing. Until the rules are given,
// every file is replaced, none is merged and none has a companion.
struct KeptFileRules {
    // Whether the bytes `fresh` may take the place of the stored bytes of `name`.
    std::function<bool(std::string_view name, std::string_view fresh, std::string_view stored)>
        replaces = [](std::string_view, std::string_view, std::string_view) { return true; };
    // Whether `name` has a rule for replacing it (the record).
    std::function<bool(std::string_view name)> hasRule = [](std::string_view) { return false; };
    // What to store of `name`, rewritten from `base` to `fresh` here, when
    // `stored` is stored now; nothing for a file without a merge rule.
    std::function<std::optional<std::string>(std::string_view name, std::string_view base,
                                             std::string_view fresh, std::string_view stored)>
        merge = [](std::string_view, std::string_view, std::string_view, std::string_view) {
            return std::optional<std::string>();
        };
    // The file stored and restored only together with `name`, and the file
    // whose companion `name` is; empty when there is none.
    std::function<std::string(std::string_view name)> companion = [](std::string_view) {
        return std::string();
    };
    std::function<std::string(std::string_view name)> owner = companion;
    // A store of the kept files began; each ends once, with whether it stored.
    std::function<void()> storing = [] {};
    std::function<void(bool stored)> stored = [](bool) {};
};

// Called first thing in main, before SDL starts. On the desktop Ctrl+C and
// SIGTERM keep their default meaning, ending the process at once: the game
// itself only ever quits on Escape, and a signal is not a key. A browser puts
// the player's stored files back in the working directory here, under `kept`.
void Prepare(const KeptFileRules& kept);

// Runs `frame` until it returns false. The desktop runs it in a loop, as fast
// as the frame itself allows. A browser runs it once per animation frame and
// never returns: the program ends there.
void RunFrames(const std::function<bool()>& frame);

// True where the host already paces RunFrames to the display (a browser's
// animation frames); elsewhere the caller paces frames itself.
bool FramesPacedByHost();

// True once the system has asked the program to end: on Windows the console
// closing, the player logging off or the machine shutting down. The frame loop
// then ends as on Escape, keeping the settings, within the few seconds Windows
// allows. Never elsewhere: a signal ends the process at once.
bool EndRequested();

// Given what must be kept at once when the session ends in the middle of a
// frame: on Windows, as the player logs off or shuts down, the process may be
// ended as soon as the game's window has answered, before the frame loop gets
// to end. Nothing calls it elsewhere. An empty function clears it.
void KeepOnSessionEnd(const std::function<void()>& keep);

// Called after a file the player keeps (the high-score record) was written, for
// platforms whose storage must be flushed explicitly. Nothing on the desktop; a
// browser copies the file to its persistent storage.
void FilesChanged();

// Called when the game pauses or resumes. Nothing on the desktop; a browser's
// page learns of it, so that a tap on the paused game resumes it rather than
// pressing the game's keys.
void PauseChanged(bool paused);

// Told every frame whether the game's key for watching the best run works
// (on the title and game-over screens, neither paused nor replaying).
// Nothing on the desktop; a browser's page offers the best run only then.
void BestRunOffered(bool offered);

// Whether the system asks programs to keep motion down: a browser's
// prefers-reduced-motion. The desktop says no.
bool PrefersReducedMotion();

// Whether the player points with a finger (a browser's pointer: coarse), and
// the size the page shows the program's window at, in CSS pixels: what a
// finger-sized target needs. The desktop says no.
bool PointerCoarse();
bool WindowCssSize(double& width, double& height);

// Shakes the device itself for `ms` milliseconds where it can (a phone's
// vibration, through a browser); nothing elsewhere.
void Vibrate(int ms);

// Whether the player places and sizes the program's window. Not in a
// browser, where the page lays out the game's canvas.
bool WindowMovable();

// Where the player's settings for the program `app` are kept, not created
// until something is stored there: $XDG_CONFIG_HOME/<app in lower case>
// (~/.config by default) on Linux, %APPDATA%\<app> on Windows; in a browser
// the working directory ("."), whose files its storage keeps. Empty when no such
// place can be named (no home directory).
std::filesystem::path SettingsDirectory(const std::string& app);

}  // namespace vexa::platform
