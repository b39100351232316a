#pragma once

#include <optional>
#include <string>

namespace vexa {
class KeptFiles;
}

// The best score of all games, kept in "highscore.txt" in the working
// directory as bare decimal digits (an optional minus, no newline).
class HighScoreStore {
public:
    // The stored score, or 0 when the file is missing (with a message) or does
    // not start with a number that fits in 32 bits.
    int LoadHighScore();
    // Replaces the stored score with `score` when it is higher than the record
    // read back from the file now, or when there is no record or it holds no
    // number. A record that is there but cannot be read is never replaced. The
    // old file stays intact unless the new one was written completely and
    // reached the disk. Prints whether `score` was saved. Two games saving at
    // once take turns; a game that cannot have its turn saves nothing.
    void SaveHighScore(int score);
    // The same, keeping `replayBytes` as the best game's replay when `score`
    // is saved. A stored replay is always of a game whose score reaches the
    // stored record; a replay that cannot be stored does not stop the record.
    void SaveHighScore(int score, const std::string& replayBytes);
    // The stored replay byte for byte, or nothing when there is none, it
    // cannot be read (or is larger than a replay can be), or its run's score
    // is not the record read now. Bytes that are no replay are given as they
    // are.
    std::string LoadBestReplay();
    // While held, the record is read no more: LoadHighScore gives the one
    // read as the hold began (0, quietly, when there is none), and nothing is
    // saved. For running the rules off-line, where a read a step would cost
    // more than the step.
    void HoldInMemory(bool hold);

    // The best of the runs played slower than full speed (an assist), kept
    // apart from the record in "highscore-assisted.txt" under the same rules,
    // with the speed it was played at. Never the record's: a slower run
    // neither reads nor replaces it.
    struct AssistedBest {
        int score = 0;
        // Percent of full speed; 0 when the file does not say.
        int speedPercent = 0;
    };
    // None, quietly, when there is none (or it cannot be read, or the record
    // is held).
    std::optional<AssistedBest> LoadAssistedBest();
    // As SaveHighScore, for a run at `speedPercent`; an empty `replayBytes`
    // keeps no replay.
    void SaveAssistedBest(int score, int speedPercent, const std::string& replayBytes);
    // As LoadBestReplay, for the assisted best.
    std::string LoadAssistedReplay();

private:
    std::optional<int> m_held;
};

extern HighScoreStore g_highScoreStore;

// The record and its replay as files the player keeps, under the rule the
// store saves by: only a higher record replaces one.
void KeepRecordFiles(vexa::KeptFiles& kept);
