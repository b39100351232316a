// The high-score record as an editor or a crash might leave it. Whatever the
// file held, the score read from it must be what a classic stream extraction
// makes of the same bytes, and must survive a save and a second read.
#include "FuzzSupport.h"

#include "HighScoreStore.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <sstream>
#include <string>

namespace {

// The record has always been read like this: skip one UTF-8 byte-order mark,
// extract a long long in the classic locale, and take 0 for anything that is
// not a number an int can hold.
int ExtractedFromStream(const std::string& bytes) {
    std::istringstream stream(bytes);
    stream.imbue(std::locale::classic());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) stream.seekg(3);
    long long value = 0;
    stream >> value;
    if (stream.fail() || value < INT_MIN || value > INT_MAX) return 0;
    return static_cast<int>(value);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    // The store keeps its file in the working directory.
    std::filesystem::current_path(fuzz_support::ScratchDir());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_support::WriteBytes("highscore.txt", data, size);
    const int score = g_highScoreStore.LoadHighScore();
    // A larger file is not read at all.
    const int expected =
        size <= 64 * 1024
            ? ExtractedFromStream(std::string(reinterpret_cast<const char*>(data), size))
            : 0;
    if (score != expected) std::abort();
    g_highScoreStore.SaveHighScore(score);
    if (g_highScoreStore.LoadHighScore() != score) std::abort();
    return 0;
}
