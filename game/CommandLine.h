#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the player asked for on the command line. With no arguments the game
// plays as it always has.
struct CommandLine {
    enum class Action { Play, Replay, Verify, Help, Version, Refused };

    Action action = Action::Play;
    // --seed N: the random sequence starts from N instead of the clock.
    std::optional<unsigned int> seed;
    // --fullscreen or --windowed: this run starts so, whatever the settings say.
    std::optional<bool> fullScreen;
    // The replay of --replay or --verify, made absolute before the working
    // directory changes.
    std::filesystem::path file;
    // Why the arguments were refused, as one line.
    std::string refusal;

    static CommandLine Parse(int argc, const char* const argv[]);
};

// The text of --help.
std::string usageText();
