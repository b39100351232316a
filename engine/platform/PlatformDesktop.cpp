#include "platform/Platform.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vexa::platform {

void Prepare(const KeptFileRules& /*kept*/) {
    // SDL would otherwise turn SIGINT and SIGTERM into a quit event, which the
    // game deliberately ignores; then only SIGKILL could end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

void RunFrames(const std::function<bool()>& frame) {
    while (frame()) {}
}

bool FramesPacedByHost() {
    return false;
}

bool EndRequested() {
    return false;
}

void KeepOnSessionEnd(const std::function<void()>& /*keep*/) {}

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
    std::string name = app;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && std::filesystem::path(config).is_absolute()) {
        return std::filesystem::path(config) / name;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return std::filesystem::path(home) / ".config" / name;
}

}  // namespace vexa::platform
