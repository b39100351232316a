#include "Settings.h"

#include "CapturedStream.h"
#include "TempDir.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

using testing_support::CapturedStream;
using testing_support::ReadWhole;
using testing_support::TempDir;

namespace fs = std::filesystem;

TEST(Settings, WhatIsWrittenIsReadBackAndNothingWrittenIsDefaults) {
    Settings defaults;
    EXPECT_TRUE(ParseSettings("", defaults).empty());
    EXPECT_EQ(defaults, Settings{});

    Settings changed;
    changed.musicVolume = 30;
    changed.effectsVolume = 0;
    changed.fullScreen = true;
    changed.pauseOnFocusLoss = false;
    changed.window = vexa::Renderer::WindowPlace{-40, 20, 1024, 700, 1};
    changed.bindings.BindKey(Bindings::Up, SDL_SCANCODE_I);
    changed.bindings.BindKey(Bindings::Mute, SDL_SCANCODE_LSHIFT);
    changed.bindings.BindButton(Bindings::PadPause, SDL_CONTROLLER_BUTTON_X);
    changed.bindings.BindButton(Bindings::PadStart, SDL_CONTROLLER_BUTTON_START);
    changed.palette = PaletteName::BlueYellow;
    changed.textSize = 150;
    changed.reducedMotion = false;
    changed.gameSpeed = 60;
    changed.toggleMovement = true;
    changed.haptics = false;
    Settings read;
    EXPECT_TRUE(ParseSettings(FormatSettings(changed), read).empty()) << FormatSettings(changed);
    EXPECT_EQ(read, changed);
}

TEST(Settings, ALineThatMakesNoSenseIsLeftOutAndEveryOtherTaken) {
    Settings settings;
    const auto problems = ParseSettings(
        "\xEF\xBB\xBF"
        "music_volume = 55\r\n"          // 1: rounded to a step
        "effects_volume = 101\n"         // 2
        "# a comment\n"                  // 3
        "full_screen = yes\n"            // 4
        "volume\n"                       // 5
        "colour = blue\n"                // 6
        "key_down = W\n"                 // 7: W moves aside to up
        "key_up = W\n"                   // 8: down was given W
        "key_pause = Escape\n"           // 9
        "key_mute = NoSuchKey\n"         // 10
        "window_width = 0\n"             // 11
        "window_height = 32767\n"        // 12: no driver draws it
        "pause_on_focus_loss = maybe\n"  // 13
        "palette = Red-Green\n"          // 14
        "text_size = 110\n"              // 15
        "game_speed = 40\n"              // 16
        "game_speed = 75\n"              // 17
        "movement = toggle\n"            // 18
        "reduced_motion = on\n"          // 19
        "haptics = sometimes\n",         // 20
        settings);
    std::vector<std::size_t> lines;
    for (const auto& problem : problems) lines.push_back(problem.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 5, 6, 8, 9, 10, 11, 12, 13, 15, 16, 17, 20}));
    EXPECT_EQ(settings.palette, PaletteName::RedGreen);
    EXPECT_EQ(settings.textSize, 100);
    EXPECT_EQ(settings.gameSpeed, 100);
    EXPECT_TRUE(settings.toggleMovement);
    EXPECT_EQ(settings.reducedMotion, true);
    EXPECT_TRUE(settings.haptics);
    EXPECT_EQ(settings.musicVolume, 60);
    EXPECT_EQ(settings.effectsVolume, 100);
    EXPECT_TRUE(settings.fullScreen);
    EXPECT_TRUE(settings.pauseOnFocusLoss);
    EXPECT_EQ(settings.bindings.keys[Bindings::Down], SDL_SCANCODE_W);
    EXPECT_EQ(settings.bindings.keys[Bindings::Up], SDL_SCANCODE_S);
    EXPECT_EQ(settings.bindings.keys[Bindings::Pause], SDL_SCANCODE_P);
    EXPECT_FALSE(settings.window);
}

TEST(Settings, AFileCannotGiveTheMenusButtonsToPause) {
    // Start's A would go to pause in the second; the third gives pause another.
    for (const char* text : {"button_pause = a\n", "button_start = start\n",
                             "button_start = start\nbutton_pause = x\n"}) {
        Settings settings;
        const bool taken = ParseSettings(text, settings).empty();
        EXPECT_NE(settings.bindings.buttons[Bindings::PadPause], SDL_CONTROLLER_BUTTON_A) << text;
        EXPECT_EQ(taken, settings.bindings != Bindings()) << text;
    }
}

TEST(Settings, WhatAFileSaysIsShownEscapedAndCut) {
    EXPECT_EQ(ShownText("\xC3\xA9\x1b[2J\xC2\x9B\xC3\t"), "\xC3\xA9\\x1b[2J\\xc2\\x9b\\xc3\\x09");
    Settings settings;
    const auto problems = ParseSettings("key_up = \x1b]0;" + std::string(500, 'x'), settings);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].reason,
              "there is no key named \\x1b]0;" + std::string(76, 'x') + "\xE2\x80\xA6");
}

TEST(Settings, AKeyInUseIsSwappedEscapeIsRefusedAndResetRestoresTheDefaults) {
    Bindings bindings;
    EXPECT_EQ(bindings.BindKey(Bindings::Up, SDL_SCANCODE_I), Bindings::Result::Bound);
    EXPECT_EQ(bindings.BindKey(Bindings::Down, SDL_SCANCODE_I), Bindings::Result::Swapped);
    EXPECT_EQ(bindings.keys[Bindings::Down], SDL_SCANCODE_I);
    EXPECT_EQ(bindings.keys[Bindings::Up], SDL_SCANCODE_S);
    for (int reserved :
         {int{SDL_SCANCODE_ESCAPE}, int{SDL_SCANCODE_RETURN}, int{SDL_SCANCODE_UP}, 0, 999}) {
        EXPECT_EQ(bindings.BindKey(Bindings::Pause, reserved), Bindings::Result::Refused);
    }
    // A chooses in the menu and B goes back: neither can pause, directly or by a swap.
    for (int menu : {int{SDL_CONTROLLER_BUTTON_A}, int{SDL_CONTROLLER_BUTTON_B}}) {
        EXPECT_EQ(bindings.BindButton(Bindings::PadPause, menu), Bindings::Result::Refused);
    }
    EXPECT_EQ(bindings.BindButton(Bindings::PadStart, SDL_CONTROLLER_BUTTON_START),
              Bindings::Result::Refused);
    EXPECT_EQ(bindings.buttons[Bindings::PadStart], SDL_CONTROLLER_BUTTON_A);
    // No key is ever bound twice.
    for (int action = 0; action < Bindings::kKeyCount; ++action) {
        EXPECT_EQ(bindings.KeyAction(bindings.keys[static_cast<std::size_t>(action)]), action);
    }
    bindings = Bindings();
    EXPECT_EQ(bindings.keys[Bindings::Up], SDL_SCANCODE_W);
    EXPECT_EQ(bindings.buttons[Bindings::PadStart], SDL_CONTROLLER_BUTTON_A);
}

class SettingsFileTest : public ::testing::Test {
protected:
    fs::path File() const { return dir.Path() / "zap207" / "settings.txt"; }
    void Put(const std::string& bytes) const {
        fs::create_directories(File().parent_path());
        dir.Write("zap207/settings.txt", bytes);
    }
    // Loads the file, giving what was said on stderr.
    Settings Load(SettingsFile& file, std::string& said) const {
        CapturedStream err{std::cerr};
        Settings settings = file.Load();
        said = err.Text();
        return settings;
    }

    TempDir dir;
};

TEST_F(SettingsFileTest, NothingIsWrittenUntilSavedAndThenInANewDirectory) {
    SettingsFile file(dir.Path() / "zap207");
    std::string said;
    EXPECT_EQ(Load(file, said), Settings{});
    EXPECT_EQ(said, "");
    EXPECT_FALSE(fs::exists(File().parent_path()));
    EXPECT_TRUE(file.SaveIfChanged(Settings{}));
    EXPECT_FALSE(fs::exists(File())) << "defaults unchanged were written";

    Settings louder;
    louder.musicVolume = 40;
    ASSERT_TRUE(file.SaveIfChanged(louder));
    SettingsFile again(dir.Path() / "zap207");
    EXPECT_EQ(Load(again, said), louder);
    EXPECT_EQ(said, "");
}

TEST_F(SettingsFileTest, BadFilesSayOneLineKeepTheRestAndAreKeptAsideWhenReplaced) {
    struct Case {
        const char* name;
        std::string bytes;
        bool said;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"binary", std::string("\0\x01\xff\xfe=\x80\n\x7f garbage\n", 18), true},
        {"huge", std::string(SettingsFile::kMaxBytes + 1, '#'), true},
        {"one bad line", "music_volume = 20\nnonsense\neffects_volume = 70\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(File().parent_path());
        Put(c.bytes);
        SettingsFile file(dir.Path() / "zap207");
        std::string said;
        const Settings settings = Load(file, said);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.said ? 1 : 0) << said;
        if (c.said) {
            EXPECT_NE(said.find(File().u8string()), std::string::npos) << said;
        }
        if (std::string(c.name) == "one bad line") {
            EXPECT_NE(said.find("line 2"), std::string::npos) << said;
            EXPECT_EQ(settings.musicVolume, 20);
            EXPECT_EQ(settings.effectsVolume, 70);
        }
        EXPECT_TRUE(file.SaveIfChanged(settings));
        EXPECT_EQ(ReadWhole(File()), c.bytes) << "a file nothing was changed in was replaced";

        Settings changed = settings;
        changed.fullScreen = true;
        ASSERT_TRUE(file.Save(changed));
        SettingsFile again(dir.Path() / "zap207");
        EXPECT_EQ(Load(again, said), changed);
        const fs::path aside = File().string() + ".bak";
        EXPECT_EQ(fs::exists(aside), c.said);
        if (c.said) {
            EXPECT_EQ(ReadWhole(aside), c.bytes);
        }
    }
}

TEST_F(SettingsFileTest, ADirectoryOrAnUnreadableFileInItsPlaceIsSaidAndKeptAside) {
    fs::create_directories(File());
    SettingsFile file(dir.Path() / "zap207");
    std::string said;
    EXPECT_EQ(Load(file, said), Settings{});
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    Settings changed;
    changed.effectsVolume = 10;
    ASSERT_TRUE(file.Save(changed));
    EXPECT_TRUE(fs::is_directory(File().string() + ".bak"));

    fs::permissions(File(), fs::perms::none);
    if (std::ifstream(File()).is_open()) {
        fs::permissions(File(), fs::perms::owner_all);
        GTEST_SKIP() << "this user reads a file whatever its permissions say (root, Windows)";
    }
    SettingsFile locked(dir.Path() / "zap207");
    EXPECT_EQ(Load(locked, said), Settings{});
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    fs::permissions(File(), fs::perms::owner_all);
}

TEST_F(SettingsFileTest, TwoGamesSavingAtOnceKeepEachOthersChanges) {
    SettingsFile first(dir.Path() / "zap207");
    SettingsFile second(dir.Path() / "zap207");
    std::string said;
    Settings mine = Load(first, said);
    Settings theirs = Load(second, said);
    mine.musicVolume = 30;
    ASSERT_TRUE(first.SaveIfChanged(mine));
    theirs.effectsVolume = 40;
    ASSERT_TRUE(second.SaveIfChanged(theirs));
    mine.window = vexa::Renderer::WindowPlace{10, 20, 900, 650, 0};
    ASSERT_TRUE(first.SaveIfChanged(mine));
    theirs.bindings.BindKey(Bindings::Up, SDL_SCANCODE_I);
    ASSERT_TRUE(second.SaveIfChanged(theirs));

    mine.effectsVolume = 40;
    mine.bindings = theirs.bindings;
    EXPECT_EQ(Load(first, said), mine) << ReadWhole(File());
}

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

TEST_F(SettingsFileTest, ABadFileStaysInPlaceUntilTheNewOneHasReplacedIt) {
    Put("nonsense\n");
    // Killed as the new file is written, as a full disk or a kill then would.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SettingsFile file(dir.Path() / "zap207");
        const rlimit small{64, 64};
        if (setrlimit(RLIMIT_FSIZE, &small) == 0) file.Save(file.Load());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const fs::path aside = File().string() + ".bak";
    EXPECT_EQ(ReadWhole(File()), "nonsense\n");
    EXPECT_EQ(ReadWhole(aside), "nonsense\n");

    // A newer bad file goes; the older one kept aside stays, and is said.
    Put("rubbish\n");
    SettingsFile file(dir.Path() / "zap207");
    std::string said;
    ASSERT_TRUE(file.Save(Load(file, said)));
    EXPECT_EQ(ReadWhole(aside), "nonsense\n");
    fs::remove(File());
    EXPECT_EQ(Load(file, said), Settings{});
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(aside.u8string()), std::string::npos) << said;

    Put("music_volume = 50\n");
    fs::permissions(File(), fs::perms::owner_read);
    CapturedStream err{std::cerr};
    EXPECT_FALSE(file.Save(Settings{}));
    EXPECT_EQ(err.Text(),
              "Cannot save settings " + File().u8string() + ": the file is read-only\n");
}
#endif
