#include "Application.h"

#include "core/FramePacer.h"
#include "core/KeptFiles.h"
#include "platform/Platform.h"
#include "renderer/Renderer.h"

#include <SDL.h>

#include <memory>
#include <string_view>
#include <utility>

namespace vexa {

void PrepareApplication(const KeptFiles& files) {
    // The platform may ask after main has returned (a browser's database
    // answering late): the rules hold their own copy of the list.
    const auto list = std::make_shared<const KeptFiles>(files);
    platform::KeptFileRules kept;
    kept.replaces = [list](std::string_view name, std::string_view fresh, std::string_view stored) {
        return list->Replaces(name, fresh, stored);
    };
    kept.hasRule = [list](std::string_view name) { return list->HasRule(name); };
    kept.merge = [list](std::string_view name, std::string_view base, std::string_view fresh,
                        std::string_view stored) { return list->Merge(name, base, fresh, stored); };
    kept.companion = [list](std::string_view name) { return list->Companion(name); };
    kept.owner = [list](std::string_view name) { return list->Owner(name); };
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

void KeepOnSessionEnd(const std::function<void()>& keep) {
    platform::KeepOnSessionEnd(keep);
}

void BestRunOffered(bool offered) {
    platform::BestRunOffered(offered);
}

bool SystemPrefersReducedMotion() {
    return platform::PrefersReducedMotion();
}

bool SystemPointerCoarse() {
    return platform::PointerCoarse();
}

bool WindowCssSize(double& width, double& height) {
    return platform::WindowCssSize(width, height);
}

void Vibrate(int ms) {
    platform::Vibrate(ms);
}

std::filesystem::path SettingsDirectory(const std::string& app) {
    return platform::SettingsDirectory(app);
}

}  // namespace vexa
