#include "HighScoreStore.h"

#include "CapturedStream.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using testing_support::CapturedStream;
using testing_support::ReadWhole;
using testing_support::ScopedWorkingDirectory;
using testing_support::TempDir;

namespace fs = std::filesystem;

namespace {

const std::string kReadFailure = "Unable to read high score! Using default value 0.\n";
const std::string kSaved = "High score saved successfully!\n";
const std::string kSaveFailure = "Unable to save high score!\n";

class HighScoreStoreTest : public ::testing::Test {
protected:
    TempDir m_dir;
    ScopedWorkingDirectory m_cwd{m_dir.Path()};
    HighScoreStore m_store;

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

}  // namespace

TEST_F(HighScoreStoreTest, ReadsTheLeadingNumberAndFallsBackToZero) {
    {
        CapturedStream out{std::cout};
        EXPECT_EQ(m_store.LoadHighScore(), 0);
        EXPECT_EQ(out.Text(), kReadFailure);
    }

    const std::vector<std::pair<std::string, int>> cases = {
        {"1234\n", 1234},
        {"12abc", 12},
        {"   \t 42", 42},
        {"\n77 88", 77},
        {"-15", -15},
        {"+9", 9},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"0x1F", 0},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"123456789012", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& [contents, expected] : cases) {
        m_dir.Write("highscore.txt", contents);
        CapturedStream out{std::cout};
        EXPECT_EQ(m_store.LoadHighScore(), expected) << '"' << contents << '"';
        EXPECT_EQ(out.Text(), "") << '"' << contents << '"';
    }

    // A directory in the file's place opens on Linux but cannot be read.
    fs::remove(m_dir.Path() / "highscore.txt");
    fs::create_directory(m_dir.Path() / "highscore.txt");
    CapturedStream out{std::cout};
    EXPECT_EQ(m_store.LoadHighScore(), 0);
    EXPECT_EQ(out.Text(), kReadFailure);
}

TEST_F(HighScoreStoreTest, SavesBareDigitsThatReadBack) {
    for (const int score : {250, -7, 0, 2147483647}) {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(score);
        EXPECT_EQ(out.Text(), kSaved);
        EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), std::to_string(score));
        EXPECT_EQ(m_store.LoadHighScore(), score);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "2147483647");
    // Nothing but the record is left behind.
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"});
}

TEST_F(HighScoreStoreTest, AFailedSaveSaysSoAndKeepsTheOldRecord) {
    // A directory where the record belongs.
    fs::create_directory(m_dir.Path() / "highscore.txt");
    m_dir.Write("highscore.txt/keep", "x");
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(500);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "highscore.txt"));
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt" / "keep"), "x");
    fs::remove_all(m_dir.Path() / "highscore.txt");

    // The new score cannot be written beside the record.
    m_dir.Write("highscore.txt", "300");
    fs::create_directory(m_dir.Path() / "highscore.txt.tmp");
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(500);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "300");
    EXPECT_TRUE(fs::is_directory(m_dir.Path() / "highscore.txt.tmp"));
    fs::remove(m_dir.Path() / "highscore.txt.tmp");

    // A write-protected record stays as it is, even for root.
    fs::permissions(m_dir.Path() / "highscore.txt",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(500);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "300");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"});

    // Once writable again the save goes through.
    fs::permissions(m_dir.Path() / "highscore.txt", fs::perms::owner_write, fs::perm_options::add);
    CapturedStream out{std::cout};
    m_store.SaveHighScore(500);
    EXPECT_EQ(out.Text(), kSaved);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "500");
}
