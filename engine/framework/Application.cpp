#include "Application.h"

#include "core/FramePacer.h"
#include "platform/Platform.h"

namespace vexa {

void PrepareApplication() {
    platform::Prepare();
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
