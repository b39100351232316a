#include "platform/Platform.h"

#include <SDL.h>
#include <emscripten.h>

// In PlatformWeb.js.
extern "C" void vexa_prepare_page();
extern "C" void vexa_files_changed();
extern "C" void vexa_frames_starting();
extern "C" void vexa_pause_changed(int paused);

namespace vexa::platform {

namespace {

// The browser calls back into the program once per animation frame, long
// after RunFrames has handed control to it, so the frame is kept here.
std::function<bool()>& runningFrame() {
    static std::function<bool()> frame;
    return frame;
}

void runOneFrame() {
    if (runningFrame()()) return;
    emscripten_cancel_main_loop();
    // The loop has ended, so the program ends as a desktop process would: the
    // runtime shuts down (closing the window and the sound device) and the
    // page learns of it through its exit hook.
    emscripten_force_exit(0);
}

}  // namespace

void Prepare() {
    // The player's files were read back from browser storage before main
    // started; they replace the packaged defaults now.
    vexa_prepare_page();
    // The page turns touches into the game's keys; a finger is no mouse.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
}

void RunFrames(const std::function<bool()>& frame) {
    runningFrame() = frame;
    // The window is open: the page may now show it at any size.
    vexa_frames_starting();
    // Zero frames a second means "on every animation frame": the browser paces
    // the loop to the display, as vsync does on the desktop. The call never
    // returns; main's locals stay alive for the frames that use them.
    emscripten_set_main_loop(runOneFrame, 0, 1);
}

bool FramesPacedByHost() {
    return true;
}

void FilesChanged() {
    vexa_files_changed();
}

void PauseChanged(bool paused) {
    vexa_pause_changed(paused ? 1 : 0);
}

std::filesystem::path SettingsDirectory(const std::string& /*app*/) {
    return ".";
}

}  // namespace vexa::platform
