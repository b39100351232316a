#include "CommandLine.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace {

std::optional<unsigned int> parseSeed(std::string_view text) {
    unsigned int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

CommandLine CommandLine::Parse(int argc, const char* const argv[]) {
    CommandLine line;
    const auto refuse = [&line](std::string why) {
        line.action = Action::Refused;
        line.refusal = std::move(why);
        return line;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takesValue = arg == "--seed" || arg == "--replay" || arg == "--verify";
        if (takesValue && i + 1 >= argc) return refuse(std::string(arg) + " needs a value");
        if (arg == "--help" || arg == "-h") {
            line.action = Action::Help;
        } else if (arg == "--version") {
            line.action = Action::Version;
        } else if (arg == "--fullscreen" || arg == "--windowed") {
            line.fullScreen = arg == "--fullscreen";
        } else if (arg == "--seed") {
            line.seed = parseSeed(argv[++i]);
            if (!line.seed) return refuse("--seed takes a whole number from 0 to 4294967295");
        } else if (arg == "--replay" || arg == "--verify") {
            if (line.action == Action::Replay || line.action == Action::Verify)
                return refuse("give one of --replay and --verify, once");
            line.action = arg == "--replay" ? Action::Replay : Action::Verify;
            std::error_code ec;
            line.file = std::filesystem::absolute(argv[++i], ec);
            if (ec) line.file = argv[i];
        } else {
            return refuse("unknown option " + std::string(arg) + " (try --help)");
        }
    }
    return line;
}

std::string usageText() {
    return "Usage: zap207 [--fullscreen | --windowed] [--seed N] [--replay FILE | --verify FILE]\n"
           "\n"
           "A ship dodges asteroids; every second survived scores. W/S or Up/Down move,\n"
           "Space starts, P pauses, M mutes, F11 toggles full screen, R on the title\n"
           "screen watches the best run again, Escape quits. A controller's A starts and\n"
           "its Start pauses. These are the defaults: the pause menu changes the keys and\n"
           "buttons, the volumes and full screen, and the game remembers them.\n"
           "\n"
           "  --fullscreen     start in full screen this time\n"
           "  --windowed       start in a window this time\n"
           "  --seed N         start the random sequence from N (a run with the same\n"
           "                   seed and the same keys plays out the same)\n"
           "  --replay FILE    watch a recorded run; Space ends it\n"
           "  --verify FILE    play a recorded run without a window or sound and print\n"
           "                   the score it reaches and the digest of its final state\n"
           "  --help           show this text\n"
           "  --version        show the version\n"
           "\n"
           "Accessibility, on the options menu's Accessibility page (P, on the title\n"
           "screen or in play) or as lines of settings.txt:\n"
           "  palette = standard | red-green | blue-yellow | high-contrast\n"
           "                   colours told apart with colour blindness; high-contrast\n"
           "                   also draws thicker, brighter lines\n"
           "  text_size = 100 | 125 | 150\n"
           "                   the score, the record and the menus, in percent\n"
           "  reduced_motion = off | on\n"
           "                   still stars, a ring for an explosion, nothing flashes\n"
           "  game_speed = 100 | 90 | 80 | 70 | 60 | 50\n"
           "                   the game slowed as an assist; a slowed run's best is\n"
           "                   kept apart from the record and shown on the title\n"
           "  movement = hold | toggle\n"
           "                   with toggle, a press of up or down keeps the ship\n"
           "                   moving until the other or the same is pressed\n"
           "  haptics = on | off\n"
           "                   a controller's rumble when the ship is hit\n";
}
