#include "platform/Platform.h"

#include <SDL.h>

namespace vexa::platform {

void Prepare() {
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

void FilesChanged() {}

void PauseChanged(bool /*paused*/) {}

}  // namespace vexa::platform
