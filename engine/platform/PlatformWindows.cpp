#include "platform/Platform.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <utility>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Needs the types windows.h declares.
#include <timeapi.h>

namespace vexa::platform {

namespace {

// Set by the console's handler thread, read by the frame loop.
std::atomic<bool> g_endRequested{false};

// Windows ends the process when the handler returns, and gives it about five
// seconds before it ends it anyway.
constexpr DWORD kEndGraceMs = 4000;

// Closing the console, logging off and shutting down would otherwise end the
// game at once, losing the settings changed since the menu last closed. The
// frame loop ends as on Escape, keeping them, and the program ends while this
// thread waits, which ends the wait too. Ctrl+C and Ctrl+Break go on to the
// default handler, which ends the process at once.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE;
    g_endRequested = true;
    Sleep(kEndGraceMs);
    // A main thread that did not finish in time (held in a window move, say)
    // is ended by the default handler.
    return FALSE;
}

// Logging off and shutting down reach a program with windows as messages to
// its windows, not as console events: the session's end is asked with
// WM_QUERYENDSESSION, then told with WM_ENDSESSION, after which the program
// may be ended at any moment. The messages arrive on the main thread, inside
// a frame, so what must be kept is kept there and then.
std::function<void()> g_keepOnSessionEnd;
WNDPROC g_windowProcedure = nullptr;

LRESULT CALLBACK onWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam != FALSE) {
        g_endRequested = true;
        if (g_keepOnSessionEnd) g_keepOnSessionEnd();
        return 0;
    }
    return CallWindowProcW(g_windowProcedure, window, message, wParam, lParam);
}

BOOL CALLBACK hearSessionEnd(HWND window, LPARAM /*unused*/) {
    wchar_t className[32];
    if (g_windowProcedure != nullptr || GetClassNameW(window, className, 32) == 0 ||
        std::wcscmp(className, L"SDL_app") != 0) {
        return TRUE;
    }
    g_windowProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&onWindowMessage)));
    return FALSE;
}

// A shortcut that starts the console minimised hands that start to the game
// as well, and Windows gives it to the first window the game shows, which
// would then come up minimised too: it is shown as it should be, with the
// keyboard.
BOOL CALLBACK restoreIfMinimised(HWND window, LPARAM /*unused*/) {
    if (IsWindowVisible(window) && IsIconic(window)) ShowWindow(window, SW_RESTORE);
    return TRUE;
}

void undoMinimisedStart() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const WORD show = startup.wShowWindow;
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0) return;
    if (show != SW_SHOWMINIMIZED && show != SW_SHOWMINNOACTIVE && show != SW_MINIMIZE) return;
    EnumThreadWindows(GetCurrentThreadId(), restoreIfMinimised, 0);
}

// A console made for the game alone (started from Explorer or a shortcut,
// not typed at a command prompt) would cover the game's window and take its
// first keys: it goes out of the way, minimised, as the installer's shortcuts
// start it. Wine's console, for one, ignores the shortcut.
void minimiseOwnConsole() {
    HWND console = GetConsoleWindow();
    DWORD processes[2];
    if (console != nullptr && GetConsoleProcessList(processes, 2) == 1)
        ShowWindow(console, SW_SHOWMINNOACTIVE);
}

}  // namespace

void Prepare(const KeptFileRules& /*kept*/) {
    // Console Ctrl+C ends the process at once, as on the desktop; SDL would
    // otherwise turn it into a quit event the game ignores.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    // Window sizes in points, as on the other platforms, and the window's full
    // pixel density to draw in: on a display scaled to 150 % the 800 x 600
    // window is drawn sharp at 1200 x 900 pixels rather than enlarged blurred.
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_SCALING, "1");
    // The C runtime would write "\r\n" for every "\n": the console lines go out
    // byte for byte as on the other platforms, which the console shows alike.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    minimiseOwnConsole();
}

void RunFrames(const std::function<bool()>& frame) {
    // Without a finer timer Windows rounds every sleep up to its tick of about
    // 15.6 ms, and frames paced by sleeping would come out uneven, up to twice
    // as long as asked.
    const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    undoMinimisedStart();
    EnumThreadWindows(GetCurrentThreadId(), hearSessionEnd, 0);
    while (frame()) {}
    if (fineTimer) timeEndPeriod(1);
}

bool FramesPacedByHost() {
    return false;
}

bool EndRequested() {
    return g_endRequested;
}

void KeepOnSessionEnd(const std::function<void()>& keep) {
    g_keepOnSessionEnd = keep;
}

void FilesChanged() {}

void PauseChanged(bool /*paused*/) {}

void BestRunOffered(bool /*offered*/) {}

bool PrefersReducedMotion() {
    return false;
}

bool PointerCoarse() {
    return false;
}

bool WindowCssSize(double& /*width*/, double& /*height*/) {
    return false;
}

void Vibrate(int /*ms*/) {}

bool WindowMovable() {
    return true;
}

std::filesystem::path SettingsDirectory(const std::string& app) {
    // The roaming profile, so the settings follow the player to another machine.
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || *appData == L'\0') return {};
    return std::filesystem::path(appData) / app;
}

}  // namespace vexa::platform
