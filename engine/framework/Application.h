#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace vexa {

// What the entry function asks of the engine around its frames, the same on
// every platform.

class KeptFiles;

// Called first thing in main, before SDL starts: the platform's own set-up
// (signals on the desktop, the player's stored files in a browser, kept
// under the rules of `files`).
void PrepareApplication(const KeptFiles& files);

// Instead of a window and a sound device, for running a game where nothing is
// seen or heard (verifying a replay, tools): SDL's dummy video and sound
// drivers, unless the environment names others, and a picture of width x
// height drawn in memory by SDL's software renderer. False, with SDL's
// reason, when SDL cannot run.
bool PrepareHeadless(int width, int height, std::string& reason);

// Runs `frame` until it returns false. Where nothing paces presentation (no
// vsync: SDL's dummy or offscreen drivers, the software renderer) each frame
// is held to `refreshRate` frames a second (0: unknown, taken as 60). In a
// browser this never returns: the program ends in the last frame.
void RunFrames(int refreshRate, const std::function<bool()>& frame);

// True once the system has asked the program to end (on Windows the console
// closing, or the session ending): the frame loop ends as on Escape.
bool EndRequested();

// What to keep at once if the session ends (Windows' logoff or shutdown)
// while a frame runs, when the program may be ended before the frame loop
// ends; an empty function clears it.
void KeepOnSessionEnd(const std::function<void()>& keep);

// Whether the game's key for watching the best run works now; told every
// frame. A browser's page offers the best run only then.
void BestRunOffered(bool offered);

// Whether the system asks for reduced motion (a browser's preference; never
// on the desktop).
bool SystemPrefersReducedMotion();

// Whether the player points with a finger (a touch screen in a browser), and
// the size the window is shown at in CSS pixels; false on the desktop.
bool SystemPointerCoarse();
bool WindowCssSize(double& width, double& height);

// A phone's vibration for `ms` milliseconds, where the program runs on one.
void Vibrate(int ms);

// Where the player's settings for `app` belong on this platform: the XDG
// config folder on Linux, %APPDATA%\<app> on Windows, beside the record in a
// browser. Empty when no such place can be named.
std::filesystem::path SettingsDirectory(const std::string& app);

}  // namespace vexa
