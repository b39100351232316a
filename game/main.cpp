#include "CommandLine.h"
#include "Frame.h"
#include "HighScoreStore.h"
#include "K_AsteroidField.h"
#include "Settings.h"
#include "Sounds.h"
#include "Verify.h"

#include "audio/AudioSystem.h"
#include "core/File.h"
#include "core/KeptFiles.h"
#include "core/MemoryTracker.h"
#include "core/Random.h"
#include "core/Replay.h"
#include "framework/Application.h"
#include "renderer/Renderer.h"

// Where SDL's own entry point starts the program (Windows), main is renamed
// for it to call.
#include <SDL_main.h>

#include <ctime>
#include <iostream>
#include <memory>
#include <string>

namespace {

// The replay of --replay, read before the game starts so that a file that is
// no replay is reported at once.
bool readReplay(const std::filesystem::path& file, vexa::Replay& replay) {
    const vexa::FileContents contents = vexa::ReadDataFile(file, vexa::Replay::kMaxFileBytes);
    std::string reason = contents.reason;
    if (contents.Ok() && vexa::DecodeReplay(contents.bytes, replay, reason)) return true;
    std::cerr << file.u8string() << ": " << reason << std::endl;
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace vexa;

    const CommandLine line = CommandLine::Parse(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Refused:
        std::cerr << "zap207: " << line.refusal << std::endl;
        return 2;
    case CommandLine::Action::Help:
        std::cout << usageText();
        return 0;
    case CommandLine::Action::Version:
        std::cout << "zap207 " << ZAP207_VERSION << std::endl;
        return 0;
    default:
        break;
    }

    KeptFiles kept;
    KeepRecordFiles(kept);
    KeepSettingsFile(kept);
    PrepareApplication(kept);
    MemoryTracker::Initialize();
    seedRandom(line.seed ? *line.seed : static_cast<unsigned int>(std::time(nullptr)));

    Replay replay;
    if (line.action == CommandLine::Action::Replay && !readReplay(line.file, replay)) return 1;
    SetFilePath("Assets");
    if (line.action == CommandLine::Action::Verify) return verifyReplay(line.file);

    SettingsFile settingsFile(SettingsDirectory("ZAP207"));
    const Settings settings = settingsFile.Load();

    g_renderer.Initialize();
    // Without a window the loop could never see Escape, so there is no game to run.
    if (!g_renderer.CreateWindow("ZAP207", 800, 600)) return 1;
    if (settings.window) g_renderer.PlaceWindow(*settings.window);
    g_renderer.SetFullScreen(line.fullScreen.value_or(settings.fullScreen));

    // The page carries no sound files: the game makes those it finds missing.
    g_audioSystem.SetFileMaker(&MakeSoundFile);
    auto game = std::make_unique<K_AsteroidField>();
    game->Initialize();
    g_audioSystem.SetVolumes(static_cast<float>(settings.musicVolume) / 100.0f,
                             static_cast<float>(settings.effectsVolume) / 100.0f);

    FrameRunner::Options options;
    options.quitAfterReplay = line.action == CommandLine::Action::Replay;
    options.settingsFile = &settingsFile;
    auto runner = std::make_unique<FrameRunner>(*game, options);
    runner->GetSettings() = settings;
    if (line.action == CommandLine::Action::Replay) {
        std::string reason;
        if (!runner->Watch(replay, false, reason)) {
            std::cerr << line.file.u8string() << ": " << reason << std::endl;
            return 1;
        }
    }

    RunFrames(g_renderer.GetRefreshRate(), [&runner] { return runner->Run(); });

    // The runner lets go of the game before the game goes.
    runner.reset();
    game.reset();
    return 0;
}
