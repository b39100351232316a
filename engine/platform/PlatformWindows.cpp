#include "platform/Platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Needs the types windows.h declares.
#include <timeapi.h>

namespace vexa::platform {

void Prepare() {
    // Console Ctrl+C ends the process at once, as on the desktop; SDL would
    // otherwise turn it into a quit event the game ignores.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Window sizes in points, as on the other platforms, and the window's full
    // pixel density to draw in: on a display scaled to 150 % the 800 x 600
    // window is drawn sharp at 1200 x 900 pixels rather than enlarged blurred.
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
    // The C runtime would write "\r\n" for every "\n": the console lines go out
    // byte for byte as on the other platforms, which the console shows alike.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void RunFrames(const std::function<bool()>& frame) {
    // Without a finer timer Windows rounds every sleep up to its tick of about
    // 15.6 ms, and frames paced by sleeping would come out uneven, up to twice
    // as long as asked.
    const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    while (frame()) {}
    if (fineTimer) timeEndPeriod(1);
}

bool FramesPacedByHost() {
    return false;
}

void FilesChanged() {}

void PauseChanged(bool /*paused*/) {}

std::filesystem::path SettingsDirectory(const std::string& app) {
    // The roaming profile, so the settings follow the player to another machine.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || *appData == L'\0') return {};
    return std::filesystem::path(appData) / app;
}

}  // namespace vexa::platform
