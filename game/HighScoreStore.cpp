#include "HighScoreStore.h"

#include "core/File.h"
#include "core/GlobalOrder.h"
#include "platform/Platform.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

VEXA_GLOBAL_ORDER(1) HighScoreStore g_highScoreStore;

namespace {

namespace fs = std::filesystem;

const char* const kFileName = "highscore.txt";
// A record is a handful of digits; a file much larger than that is not one.
constexpr std::uintmax_t kMaxRecordBytes = std::uintmax_t{64} * 1024;

// Where the record really is: a symbolic link is followed to the file it names,
// so a save updates the linked record instead of replacing the link.
fs::path resolveRecord() {
    fs::path path = kFileName;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// The permission bits decide, not an attempt: CI and some players run as root,
// for whom every write succeeds whatever the bits say.
bool isWritable(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

fs::path directoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Renaming over a file needs only the directory to be writable, so a
// write-protected record, or a directory in its place, is refused here.
bool targetIsReplaceable(const fs::path& target) {
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec || status.type() != fs::file_type::regular) return false;
    return isWritable(target);
}

// A fresh name beside the record for each save, so two games saving at once
// never write into the same temporary file.
fs::path temporaryNameFor(const fs::path& target) {
    std::random_device device;
    const std::uint64_t bits = (std::uint64_t{device()} << 32) ^ device();
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(bits));
    return directoryOf(target) / (target.filename().string() + suffix);
}

// The new score goes to a file of its own beside the record and only replaces
// it once complete and on the disk, so a full disk, a crash or a power cut
// mid-write never costs the record. False when no temporary file could be made
// there at all; `replaced` tells whether the record now holds the new score.
bool replaceThroughTemporaryFile(const fs::path& target, const std::string& digits,
                                 bool& replaced) {
    replaced = false;
    if (!isWritable(directoryOf(target))) return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const fs::path temp = temporaryNameFor(target);
        if (!vexa::WriteNewFile(temp, digits)) continue;
        std::string reason;
        replaced = vexa::MoveIntoPlace(temp, target, reason);
        if (!replaced) {
            std::error_code ignored;
            fs::remove(temp, ignored);
        }
        return true;
    }
    return false;
}

// The record as the classic stream extraction of a long long has always read
// it: white space, an optional sign, then decimal digits up to the first other
// character. Some editors on Windows start a UTF-8 file with a byte-order
// mark; the number after it is still the record. No digits, or a number no
// int can hold (a stored 99999999999 would be a record no game could beat),
// is no record.
std::optional<int> parseRecord(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return std::nullopt;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    const std::size_t firstDigit = i;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > -static_cast<long long>(INT_MIN)) return std::nullopt;
    }
    if (i == firstDigit) return std::nullopt;
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

// Whether `score` may take the stored record's place. The record is read
// afresh, never taken from an earlier frame: a record that could not be read
// then (a scanner holding it, a permission) would otherwise look like 0 and
// be lost to any score. A record that is there but cannot be read now is kept.
bool beatsStoredRecord(const fs::path& target, int score) {
    // Worth a moment's wait: this decides whether the record is replaced.
    const vexa::FileContents stored =
        vexa::ReadDataFile(target, kMaxRecordBytes, vexa::FileWait::Brief);
    if (stored.status == vexa::FileContents::Status::Missing) return true;
    if (!stored.Ok()) return false;
    const std::optional<int> record = parseRecord(stored.bytes);
    return !record || score > *record;
}

bool replaceStoredScore(int score) {
    const fs::path target = resolveRecord();
    // From the second reading to the replace, one game at a time.
    const vexa::DirectoryLock turn(directoryOf(target));
    if (!targetIsReplaceable(target)) return false;
    if (!beatsStoredRecord(target, score)) return false;
    const std::string digits = std::to_string(score);
    bool replaced = false;
    if (replaceThroughTemporaryFile(target, digits, replaced)) return replaced;
    // No new file can be made beside the record (a read-only directory): a
    // writable record is rewritten where it stands, never emptied on the way.
    return vexa::RewriteTextFile(target, digits);
}

}  // namespace

int HighScoreStore::LoadHighScore() {
    // Read on every frame, so as cheaply as the checks allow. Only a regular
    // file of a sane size is read: a FIFO in its place would block the frame
    // for ever, a device could be read without end. A record another program
    // holds is not waited for here, where every wait is a dropped frame; the
    // save waits for it.
    const vexa::FileContents stored = vexa::ReadDataFile(kFileName, kMaxRecordBytes);
    if (!stored.Ok()) {
        std::cout << "Unable to read high score! Using default value 0." << std::endl;
        return 0;
    }
    return parseRecord(stored.bytes).value_or(0);
}

void HighScoreStore::SaveHighScore(int score) {
    if (replaceStoredScore(score)) {
        vexa::platform::FilesChanged();
        std::cout << "High score saved successfully!" << std::endl;
    } else {
        std::cout << "Unable to save high score!" << std::endl;
    }
}
