// The high-score record as an editor or a crash might leave it. Whatever the
// file held, the score read from it must survive a save and a second read.
#include "FuzzSupport.h"

#include "HighScoreStore.h"

#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    // The store keeps its file in the working directory.
    std::filesystem::current_path(fuzz_support::ScratchDir());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::WriteBytes("highscore.txt", data, size);
    const int score = g_highScoreStore.LoadHighScore();
    g_highScoreStore.SaveHighScore(score);
    if (g_highScoreStore.LoadHighScore() != score) std::abort();
    return 0;
}
