#include "Application.h"

#include "core/FramePacer.h"
#include "core/KeptFiles.h"
#include "platform/Platform.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <utility>

namespace vexa {

void PrepareApplication() {
    platform::KeptFileRules kept;
    kept.replaces = KeptFileReplaces;
    kept.hasRule = KeptFileHasRule;
    kept.merge = KeptFileMerge;
    kept.companion = KeptFileCompanion;
    kept.owner = KeptFileOwner;
    kept.storing = KeptFilesStoring;
    kept.stored = KeptFilesStored;
    platform::Prepare(kept);
}

bool PrepareHeadless(int width, int height, std::string& reason) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    g_renderer.Initialize();
    // Kept for the rest of the program, as a window would be.
    SDL_Surface* const surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Renderer* const renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (renderer == nullptr) {
        reason = SDL_GetError();
        SDL_FreeSurface(surface);
        return false;
    }
    g_renderer.Attach(renderer, width, height);
    return true;
}

void RunFrames(int refreshRate, const std::function<bool()>& frame) {
    if (platform::FramesPacedByHost()) {
        platform::RunFrames(frame);
        return;
    }
    FramePacer pacer(refreshRate);
    platform::RunFrames([&pacer, &frame] {
        if (!frame()) return false;
        pacer.FrameEnded();
        return true;
    });
}

bool EndRequested() {
    return platform::EndRequested();
}

void KeepOnSessionEnd(std::function<void()> keep) {
    platform::KeepOnSessionEnd(std::move(keep));
}

void BestRunOffered(bool offered) {
    platform::BestRunOffered(offered);
}

std::filesystem::path SettingsDirectory(const std::string& app) {
    return platform::SettingsDirectory(app);
}

}  // namespace vexa
