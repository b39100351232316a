#include "HighScoreStore.h"

#include "core/File.h"
#include "core/GlobalOrder.h"
#include "core/KeptFiles.h"
#include "core/Replay.h"

#include <climits>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

VEXA_GLOBAL_ORDER(1) HighScoreStore g_highScoreStore;

namespace {

namespace fs = std::filesystem;

// Where a best is kept and what the player is told of its saves. The
// assisted best lives beside the record under the same rules, in files of its
// own, so that no slower run ever takes the record's place.
struct Files {
    const char* record;
    // The best game's replay, kept beside the record.
    const char* replay;
    const char* saved;
    const char* unsaved;
};

const Files kRecordFiles{"highscore.txt", "highscore.replay", "High score saved successfully!",
                         "Unable to save high score!"};
const Files kAssistedFiles{"highscore-assisted.txt", "highscore-assisted.replay",
                           "Assisted best saved successfully!", "Unable to save assisted best!"};
const char* const kFileName = kRecordFiles.record;
// A record is a handful of digits; a file much larger than that is not one.
constexpr std::uintmax_t kMaxRecordBytes = std::uintmax_t{64} * 1024;
constexpr std::uintmax_t kMaxReplayBytes = std::uintmax_t{4} * 1024 * 1024;

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

// A browser keeps the record and its replay in a database of its own, which
// another tab may have written meanwhile: it asks this rule, the save's own,
// before a record takes a stored one's place.
bool higherRecord(std::string_view fresh, std::string_view stored) {
    const std::optional<int> score = parseRecord(fresh);
    const std::optional<int> record = parseRecord(stored);
    return score && (!record || *score > *record);
}

// The assisted best's file says the speed after the score ("1234 at 70%"),
// which the record's reading passes over.
constexpr std::string_view kSpeedMark = " at ";

int parseSpeed(std::string_view text) {
    const std::size_t at = text.find(kSpeedMark);
    if (at == std::string_view::npos) return 0;
    text.remove_prefix(at + kSpeedMark.size());
    int speed = 0;
    std::size_t i = 0;
    for (; i < text.size() && i < 3 && text[i] >= '0' && text[i] <= '9'; ++i)
        speed = speed * 10 + (text[i] - '0');
    if (i == 0 || i >= text.size() || text[i] != '%') return 0;
    return speed > 0 && speed < vexa::Replay::kFullSpeedPercent ? speed : 0;
}

// Whether `score` may take the stored record's place. The record is read
// afresh, never taken from an earlier frame: a record that could not be read
// then (a scanner holding it, a permission) would otherwise look like 0 and
// be lost to any score. A record that is there but cannot be read now is kept.
bool beatsStoredRecord(const vexa::FileContents& stored, int score) {
    if (stored.status == vexa::FileContents::Status::Missing) return true;
    if (!stored.Ok()) return false;
    const std::optional<int> record = parseRecord(stored.bytes);
    return !record || score > *record;
}

// A stored replay is always of a game that reached the stored record: it
// goes into place before the record does, so a record that then fails to be
// replaced is still reached by it, and one of an older record goes when the
// new one cannot be stored (the replay only adds to the record).
void storeReplay(const Files& files, const std::string* replay) {
    const char* const name = files.replay;
    if (replay != nullptr && vexa::ReplaceFileDurably(name, *replay)) return;
    std::error_code ec;
    if (fs::remove(name, ec) || !fs::exists(fs::symlink_status(name, ec))) return;
    // Windows deletes no read-only file; an outdated replay must go all the same.
    fs::permissions(name, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove(name, ec);
}

// `text` is what the file holds: the score's digits first.
bool saveRecord(const Files& files, int score, const std::string& text, const std::string* replay) {
    vexa::ReplaceOptions options;
    options.maxCurrentBytes = kMaxRecordBytes;
    bool replayStored = false;
    const auto decide = [&files, score, &text, replay,
                         &replayStored](const vexa::FileContents& stored) {
        std::optional<std::string> digits;
        if (!beatsStoredRecord(stored, score)) {
            // Decided again on a higher record another game created meanwhile:
            // the replay stored for the first decision no longer reaches it.
            if (replayStored) storeReplay(files, nullptr);
            return digits;
        }
        storeReplay(files, replay);
        replayStored = replay != nullptr;
        digits = text;
        return digits;
    };
    return vexa::ReplaceFileDurably(files.record, decide, options) ==
           vexa::ReplaceOutcome::Replaced;
}

void reportSave(const Files& files, bool saved) {
    if (!saved) {
        std::cout << files.unsaved << std::endl;
        return;
    }
    // A browser's storage answers some time after the file was written: the
    // line waits for its answer.
    vexa::WhenFilesKept(
        [&files](bool kept) { std::cout << (kept ? files.saved : files.unsaved) << std::endl; });
}

std::string loadBestReplay(const Files& files) {
    vexa::FileContents stored = vexa::ReadDataFile(files.replay, kMaxReplayBytes);
    if (!stored.Ok()) return {};
    // A game killed between storing its replay and its record leaves a replay
    // of a run the record does not show. One that is no replay at all is the
    // caller's to report.
    vexa::Replay replay;
    std::string reason;
    if (!vexa::DecodeReplay(stored.bytes, replay, reason)) return std::move(stored.bytes);
    const vexa::FileContents record = vexa::ReadDataFile(files.record, kMaxRecordBytes);
    const std::optional<int> score = record.Ok() ? parseRecord(record.bytes) : std::nullopt;
    if (!score || *score != replay.score) return {};
    return std::move(stored.bytes);
}

}  // namespace

void KeepRecordFiles(vexa::KeptFiles& kept) {
    for (const Files* files : {&kRecordFiles, &kAssistedFiles})
        kept.Keep(files->record, higherRecord, files->replay);
}

int HighScoreStore::LoadHighScore() {
    if (m_held) return *m_held;
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
    if (!m_held)
        reportSave(kRecordFiles, saveRecord(kRecordFiles, score, std::to_string(score), nullptr));
}

void HighScoreStore::SaveHighScore(int score, const std::string& replayBytes) {
    if (!m_held)
        reportSave(kRecordFiles,
                   saveRecord(kRecordFiles, score, std::to_string(score), &replayBytes));
}

void HighScoreStore::HoldInMemory(bool hold) {
    m_held.reset();
    if (!hold) return;
    const vexa::FileContents stored = vexa::ReadDataFile(kFileName, kMaxRecordBytes);
    m_held = stored.Ok() ? parseRecord(stored.bytes).value_or(0) : 0;
}

std::string HighScoreStore::LoadBestReplay() {
    return loadBestReplay(kRecordFiles);
}

std::optional<HighScoreStore::AssistedBest> HighScoreStore::LoadAssistedBest() {
    if (m_held) return std::nullopt;
    // Most players never slow the game: a missing file is no news.
    const vexa::FileContents stored = vexa::ReadDataFile(kAssistedFiles.record, kMaxRecordBytes);
    if (!stored.Ok()) return std::nullopt;
    const std::optional<int> score = parseRecord(stored.bytes);
    if (!score) return std::nullopt;
    return AssistedBest{*score, parseSpeed(stored.bytes)};
}

void HighScoreStore::SaveAssistedBest(int score, int speedPercent, const std::string& replayBytes) {
    if (m_held) return;
    const std::string text =
        std::to_string(score) + std::string(kSpeedMark) + std::to_string(speedPercent) + "%";
    reportSave(kAssistedFiles, saveRecord(kAssistedFiles, score, text,
                                          replayBytes.empty() ? nullptr : &replayBytes));
}

std::string HighScoreStore::LoadAssistedReplay() {
    return loadBestReplay(kAssistedFiles);
}
