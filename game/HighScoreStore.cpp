#include "HighScoreStore.h"

#include "core/GlobalOrder.h"
#include "platform/Platform.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <locale>
#include <string>
#include <system_error>

VEXA_GLOBAL_ORDER(1) HighScoreStore g_highScoreStore;

namespace {

const char* const kFileName = "highscore.txt";
const char* const kTempFileName = "highscore.txt.tmp";

// Renaming over a file needs only the directory to be writable, so a
// write-protected record, or a directory in its place, is refused here.
bool targetIsReplaceable() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(kFileName, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec || status.type() != fs::file_type::regular) return false;
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

bool writeTempFile(const std::string& digits) {
    std::ofstream file(kTempFileName, std::ios::out | std::ios::trunc);
    if (!file.is_open()) return false;
    file << digits;
    file.flush();
    const bool written = file.good();
    file.close();
    return written && !file.fail();
}

// The new score goes to a file beside the record and only replaces it once
// complete, so a full disk or a crash mid-write never costs the old record.
bool replaceStoredScore(int score) {
    if (!targetIsReplaceable()) return false;
    if (!writeTempFile(std::to_string(score))) {
        std::error_code ignored;
        if (std::filesystem::is_regular_file(kTempFileName, ignored)) {
            std::filesystem::remove(kTempFileName, ignored);
        }
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(kTempFileName, kFileName, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(kTempFileName, ignored);
        return false;
    }
    return true;
}

}  // namespace

int HighScoreStore::LoadHighScore() {
    std::ifstream file(kFileName);
    file.imbue(std::locale::classic());
    // Read wider than int: formatted extraction would clamp a too-large stored
    // number to INT_MAX, a record no game could ever beat.
    long long value = 0;
    if (file.is_open()) file >> value;
    // A directory in the file's place opens but cannot be read: as good as missing.
    if (!file.is_open() || file.bad()) {
        std::cout << "Unable to read high score! Using default value 0." << std::endl;
        return 0;
    }
    if (file.fail() || value < INT_MIN || value > INT_MAX) return 0;
    return static_cast<int>(value);
}

void HighScoreStore::SaveHighScore(int score) {
    if (replaceStoredScore(score)) {
        vexa::platform::FilesChanged();
        std::cout << "High score saved successfully!" << std::endl;
    } else {
        std::cout << "Unable to save high score!" << std::endl;
    }
}
