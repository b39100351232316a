#include "Verify.h"

#include "HighScoreStore.h"
#include "K_AsteroidField.h"

#include "core/Digest.h"
#include "core/File.h"
#include "core/Replay.h"
#include "core/Time.h"
#include "framework/Application.h"
#include "renderer/ParticleSystem.h"

#include <iostream>
#include <memory>
#include <string>

namespace {

// The record, read once for the whole run and left as it was.
class HeldRecord {
public:
    HeldRecord() { g_highScoreStore.HoldInMemory(true); }
    ~HeldRecord() { g_highScoreStore.HoldInMemory(false); }
    HeldRecord(const HeldRecord&) = delete;
    HeldRecord& operator=(const HeldRecord&) = delete;
};

int refuse(const std::filesystem::path& file, const std::string& reason) {
    std::cerr << file.u8string() << ": " << reason << std::endl;
    return 1;
}

}  // namespace

int verifyReplay(const std::filesystem::path& file) {
    using namespace vexa;

    const FileContents contents = ReadDataFile(file, Replay::kMaxFileBytes);
    if (!contents.Ok()) return refuse(file, "cannot read it: " + contents.reason);
    Replay replay;
    std::string reason;
    if (!DecodeReplay(contents.bytes, replay, reason)) return refuse(file, reason);

    // No window and no sound, and a picture drawn nowhere (texts are still
    // made, as the rules make them).
    if (!PrepareHeadless(800, 600, reason)) return refuse(file, "SDL cannot run: " + reason);
    const HeldRecord record;

    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    if (!game->BeginReplay(replay, K_AsteroidField::Replaying::Verify, reason)) {
        return refuse(file, reason);
    }
    // Every step is one step long from the clock's first tick on.
    g_time = Time();
    g_time.Tick();
    for (const std::uint8_t input : replay.steps) {
        if (game->GetState() == K_AsteroidField::GameOver) break;
        game->FeedStepInput(input);
        g_particleSystem.Update(g_time.GetDeltaTime());
        game->Update(g_time.GetDeltaTime());
    }
    // Cut short, the run ends where its steps left it.
    if (game->GetState() != K_AsteroidField::GameOver) game->EndReplay();

    const K_AsteroidField::RunResult& run = game->GetLastRun();
    // A slower run says so; a full-speed one's line is as it always was.
    std::cout << "score " << run.score << " digest " << DigestHex(run.digest);
    if (replay.Assisted()) std::cout << " at " << replay.speedPercent << "% speed";
    std::cout << std::endl;
    if (!run.ended) return refuse(file, "its steps end before the run does");
    if (run.score != replay.score || run.digest != replay.digest) {
        return refuse(file, "the run ends with score " + std::to_string(run.score) + ", digest " +
                                DigestHex(run.digest) + ", but it was recorded with score " +
                                std::to_string(replay.score) + ", digest " +
                                DigestHex(replay.digest));
    }
    return 0;
}
