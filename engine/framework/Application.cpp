#include "Application.h"

#include "core/FramePacer.h"
#include "core/KeptFiles.h"
#include "platform/Platform.h"

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
    platform::Prepare(std::move(kept));
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

void BestRunOffered(bool offered) {
    platform::BestRunOffered(offered);
}

std::filesystem::path SettingsDirectory(const std::string& app) {
    return platform::SettingsDirectory(app);
}

}  // namespace vexa
