#include "platform/Platform.h"

#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// In PlatformWeb.js.
extern "C" void vexa_prepare_page();
extern "C" void vexa_files_changed();
extern "C" void vexa_frames_starting();
extern "C" void vexa_pause_changed(int paused);
extern "C" void vexa_best_run_offered(int offered);
extern "C" int vexa_media_matches(const char* query);
extern "C" void vexa_vibrate(int ms);

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

// The answer handed to the page, which copies it at once.
const char* answer(std::string text) {
    static std::string* const kept = new std::string();
    *kept = std::move(text);
    return kept->c_str();
}

// The program's rules for the files the player keeps, from Prepare on.
KeptFileRules& keptFiles() {
    static KeptFileRules* const rules = new KeptFileRules();
    return *rules;
}

std::string_view bytes(const unsigned char* data, std::size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace

}  // namespace vexa::platform

// The page's storage asks the program's own rules, so that every platform
// keeps the same file from the same bytes.
extern "C" {

EMSCRIPTEN_KEEPALIVE int vexa_kept_file_replaces(const char* name, const unsigned char* fresh,
                                                 std::size_t freshSize, const unsigned char* stored,
                                                 std::size_t storedSize) {
    using namespace vexa::platform;
    return keptFiles().replaces(name, bytes(fresh, freshSize), bytes(stored, storedSize)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int vexa_kept_file_has_rule(const char* name) {
    return vexa::platform::keptFiles().hasRule(name) ? 1 : 0;
}

// The text to store for a file kept with a merge rule, or null for any other
// file. Merged files are text: the answer ends at its first NUL.
EMSCRIPTEN_KEEPALIVE const char* vexa_kept_file_merge(
    const char* name, const unsigned char* base, std::size_t baseSize, const unsigned char* fresh,
    std::size_t freshSize, const unsigned char* stored, std::size_t storedSize) {
    const std::optional<std::string> merged = vexa::platform::keptFiles().merge(
        name, vexa::platform::bytes(base, baseSize), vexa::platform::bytes(fresh, freshSize),
        vexa::platform::bytes(stored, storedSize));
    return merged ? vexa::platform::answer(*merged) : nullptr;
}

EMSCRIPTEN_KEEPALIVE const char* vexa_kept_file_companion(const char* name) {
    return vexa::platform::answer(vexa::platform::keptFiles().companion(name));
}

EMSCRIPTEN_KEEPALIVE const char* vexa_kept_file_owner(const char* name) {
    return vexa::platform::answer(vexa::platform::keptFiles().owner(name));
}

// Once for each vexa_files_changed, when the page's database has answered.
EMSCRIPTEN_KEEPALIVE void vexa_files_stored(int stored) {
    vexa::platform::keptFiles().stored(stored != 0);
}

}  // extern "C"

namespace vexa::platform {

void Prepare(const KeptFileRules& kept) {
    keptFiles() = kept;
    // The player's files were read back from browser storage before main
    // started; they replace the packaged defaults now.
    vexa_prepare_page();
    // The page turns touches into the game's keys; a finger is no mouse.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
}

void RunFrames(const std::function<bool()>& frame) {
    runningFrame() = frame;
    // SDL asks the browser to cancel every touchcancel, which cannot be
    // cancelled, and the browser warns of it each time. The game takes no
    // finger from SDL (the page turns touches into keys and hears the cancel
    // itself), so SDL is not told.
    emscripten_set_touchcancel_callback("#canvas", nullptr, EM_FALSE, nullptr);
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

bool EndRequested() {
    return false;
}

void KeepOnSessionEnd(const std::function<void()>& /*keep*/) {}

void FilesChanged() {
    keptFiles().storing();
    vexa_files_changed();
}

void PauseChanged(bool paused) {
    vexa_pause_changed(paused ? 1 : 0);
}

void BestRunOffered(bool offered) {
    vexa_best_run_offered(offered ? 1 : 0);
}

bool PrefersReducedMotion() {
    return vexa_media_matches("(prefers-reduced-motion: reduce)") != 0;
}

bool PointerCoarse() {
    return vexa_media_matches("(pointer: coarse)") != 0;
}

bool WindowCssSize(double& width, double& height) {
    return emscripten_get_element_css_size("#canvas", &width, &height) ==
               EMSCRIPTEN_RESULT_SUCCESS &&
           width > 0.0 && height > 0.0;
}

void Vibrate(int ms) {
    vexa_vibrate(ms);
}

bool WindowMovable() {
    return false;
}

std::filesystem::path SettingsDirectory(const std::string& /*app*/) {
    return ".";
}

}  // namespace vexa::platform
