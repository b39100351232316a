#include "HighScoreStore.h"

#include "CapturedStream.h"
#include "HostileFiles.h"
#include "TempDir.h"

#include "core/Replay.h"

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
        {"\xEF\xBB\xBF"
         "4321",
         4321},
        {"\xEF\xBB\xBF"
         "\xEF\xBB\xBF"
         "5",
         0},
        {"\xEF\xBB"
         "77",
         0},
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
    for (const int score : {-7, 0, 250, 2147483647}) {
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

    // A write-protected record stays as it is, even for root.
    m_dir.Write("highscore.txt", "300");
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

TEST_F(HighScoreStoreTest, ASaveKeepsAHigherOrEqualStoredRecord) {
    // The record is read back at the save, not taken from an earlier frame:
    // another game may have stored a higher one meanwhile.
    m_dir.Write("highscore.txt", "500");
    for (const int score : {100, 500, -3}) {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(score);
        EXPECT_EQ(out.Text(), kSaveFailure) << score << " was not saved, so nothing may say it was";
        EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "500");
    }
    // What holds no number, or none an int can hold, is no record to keep.
    for (const std::string stored : {"", "abc", "99999999999", "-"}) {
        m_dir.Write("highscore.txt", stored);
        CapturedStream out{std::cout};
        m_store.SaveHighScore(-20);
        EXPECT_EQ(out.Text(), kSaved) << '"' << stored << '"';
        EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "-20");
    }
    CapturedStream out{std::cout};
    m_store.SaveHighScore(-19);
    EXPECT_EQ(out.Text(), kSaved);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "-19");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"});
}

TEST_F(HighScoreStoreTest, ARecordTooLargeToReadIsNeverReplaced) {
    const std::string huge(65 * 1024, '7');
    m_dir.Write("highscore.txt", huge);
    CapturedStream out{std::cout};
    EXPECT_EQ(m_store.LoadHighScore(), 0);
    m_store.SaveHighScore(100);
    EXPECT_EQ(out.Text(), kReadFailure + kSaveFailure);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), huge);
}

TEST_F(HighScoreStoreTest, ASavedRecordReadsBackAfterAByteOrderMark) {
    m_dir.Write("highscore.txt",
                "\xEF\xBB\xBF"
                "900\r\n");
    EXPECT_EQ(m_store.LoadHighScore(), 900) << "a record saved by a Windows editor";
    CapturedStream out{std::cout};
    m_store.SaveHighScore(901);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "901") << "written back as bare digits";
}

TEST_F(HighScoreStoreTest, WithoutRoomForANewFileAWritableRecordIsRewrittenInPlace) {
    // Blanks and a line end around the old digits: none may stay behind.
    m_dir.Write("highscore.txt", "  300\n");
    // The store goes by the permission bits, so this holds for root too.
    const auto readOnlyDir = fs::perms::owner_read | fs::perms::owner_exec;
    fs::permissions(m_dir.Path(), readOnlyDir);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(4500);
        EXPECT_EQ(out.Text(), kSaved);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "4500");
    EXPECT_EQ(m_store.LoadHighScore(), 4500);

    // Nothing to rewrite, or a record that is itself protected: a plain failure.
    fs::permissions(m_dir.Path() / "highscore.txt", fs::perms::owner_read);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(5000);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "4500");
    fs::permissions(m_dir.Path(), fs::perms::owner_all);
    fs::permissions(m_dir.Path() / "highscore.txt", fs::perms::owner_read | fs::perms::owner_write);
    fs::remove(m_dir.Path() / "highscore.txt");
    fs::permissions(m_dir.Path(), readOnlyDir);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(5000);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    fs::permissions(m_dir.Path(), fs::perms::owner_all);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(HighScoreStoreTest, AStoredReplayAlwaysReachesTheStoredRecord) {
    EXPECT_EQ(m_store.LoadBestReplay(), "") << "none stored yet";
    const std::string replay("R1\0\xFF", 4);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(300, replay);
        m_store.SaveHighScore(200, "R2");
        EXPECT_EQ(out.Text(), kSaved + kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "300");
    EXPECT_EQ(m_store.LoadBestReplay(), replay) << "a lower game's replay replaced the record's";

    // A record saved without a replay, or with one that cannot be stored,
    // leaves none of an older record behind.
    m_store.SaveHighScore(400);
    EXPECT_EQ(m_store.LoadBestReplay(), "");
    m_store.SaveHighScore(500, "R5");
    ASSERT_EQ(m_store.LoadBestReplay(), "R5");
    fs::permissions(m_dir.Path() / "highscore.replay", fs::perms::owner_read);
    {
        CapturedStream out{std::cout};
        m_store.SaveHighScore(600, "R6");
        EXPECT_EQ(out.Text(), kSaved);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "600");
    EXPECT_FALSE(fs::exists(m_dir.Path() / "highscore.replay"));

    // A record that cannot be replaced keeps its own replay.
    m_store.SaveHighScore(700, "R7");
    fs::permissions(m_dir.Path() / "highscore.txt", fs::perms::owner_read);
    m_store.SaveHighScore(800, "R8");
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "700");
    EXPECT_EQ(m_store.LoadBestReplay(), "R7");

    // Larger than any replay: none.
    m_dir.Write("highscore.replay", std::string(4 * 1024 * 1024 + 1, 'x'));
    EXPECT_EQ(m_store.LoadBestReplay(), "");
}

TEST_F(HighScoreStoreTest, AReplayIsTheBestRunOnlyWhenItsScoreIsTheRecord) {
    vexa::Replay run;
    run.steps = {0, 1, 1, 0};
    run.score = 422;
    // A game killed between storing its replay and its record.
    m_dir.Write("highscore.replay", vexa::EncodeReplay(run));
    m_dir.Write("highscore.txt", "32");
    EXPECT_EQ(m_store.LoadBestReplay(), "");
    m_dir.Write("highscore.txt", "422");
    EXPECT_EQ(m_store.LoadBestReplay(), vexa::EncodeReplay(run));
}

#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST_F(HighScoreStoreTest, ALinkedRecordIsUpdatedThroughTheLink) {
    TempDir elsewhere;
    const auto record = elsewhere.Write("best.txt", "10");
    fs::create_symlink(record, m_dir.Path() / "highscore.txt");
    // A link planted at the name older versions used for their temporary file.
    const auto victim = elsewhere.Write("victim.txt", "untouched");
    fs::create_symlink(victim, m_dir.Path() / "highscore.txt.tmp");

    CapturedStream out{std::cout};
    m_store.SaveHighScore(77);
    EXPECT_EQ(out.Text(), kSaved);
    EXPECT_TRUE(fs::is_symlink(m_dir.Path() / "highscore.txt")) << "the link itself stays";
    EXPECT_EQ(ReadWhole(record), "77");
    EXPECT_EQ(m_store.LoadHighScore(), 77);
    EXPECT_EQ(ReadWhole(victim), "untouched");

    // A relative link, resolved against the link's own directory.
    fs::remove(m_dir.Path() / "highscore.txt");
    fs::create_directory(m_dir.Path() / "sub");
    m_dir.Write("sub/record.txt", "1");
    fs::create_symlink("sub/record.txt", m_dir.Path() / "highscore.txt");
    m_store.SaveHighScore(88);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "sub" / "record.txt"), "88");
    EXPECT_EQ(fs::directory_iterator(m_dir.Path() / "sub")->path().filename(), "record.txt");
}

TEST_F(HighScoreStoreTest, ARecordThePlayerMayWriteButNotReadIsKept) {
    m_dir.Write("highscore.txt", "500");
    fs::permissions(m_dir.Path() / "highscore.txt",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
    fs::permissions(m_dir.Path(), fs::perms::all);
    // Root reads whatever the bits say: the game runs as a player here.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        std::freopen("/dev/null", "w", stdout);
        HighScoreStore store;
        if (store.LoadHighScore() != 0) _exit(3);
        store.SaveHighScore(100);
        store.SaveHighScore(900);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    fs::permissions(m_dir.Path() / "highscore.txt", fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "500");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"});
}

TEST_F(HighScoreStoreTest, ARefusedReplaceSaysSoAndKeepsTheRecord) {
    m_dir.Write("highscore.txt", "300");
    // An immutable file refuses the rename over it, whatever the permission
    // bits say; only root can set the flag, on file systems that have it.
    testing_support::ScopedImmutable immutable(m_dir.Path() / "highscore.txt");
    if (!immutable.Active()) GTEST_SKIP() << "cannot make a file immutable here";
    CapturedStream out{std::cout};
    m_store.SaveHighScore(500);
    EXPECT_EQ(out.Text(), kSaveFailure);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "300");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"}) << "no temporary file left";
}

TEST_F(HighScoreStoreTest, AFifoInPlaceOfTheRecordReadsAsMissingWithoutBlocking) {
    ASSERT_EQ(mkfifo("highscore.txt", 0600), 0);
    CapturedStream out{std::cout};
    EXPECT_EQ(m_store.LoadHighScore(), 0);
    EXPECT_EQ(out.Text(), kReadFailure);
}

TEST_F(HighScoreStoreTest, TwoGamesSavingAtOnceLeaveTheHigherWholeRecord) {
    // Scores 100000..100299 from one process, 200000..200299 from the other.
    std::vector<pid_t> children;
    for (const int base : {100000, 200000}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            int seen = 0;
            for (int i = 0; i < 300; ++i) {
                HighScoreStore store;
                store.SaveHighScore(base + i);
                const int read = store.LoadHighScore();
                // Every value ever seen must be one a save wrote in full.
                if (read < 100000 || read % 100000 >= 300) _exit(1);
                // And the record only grows: a save that decided on an older
                // reading must not put a lower score over a newer record.
                if (read < seen || read < base + i) _exit(2);
                seen = read;
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 1) << "a save was seen half-written";
        EXPECT_NE(WEXITSTATUS(status), 2) << "a lower score replaced a higher record";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "200299");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"}) << "no temporary file left";
}
TEST_F(HighScoreStoreTest, GamesSavingAtOnceIntoAFolderTheyCannotListNeverLowerTheRecord) {
    // Mode 0333: files can be made and renamed there, but the folder itself
    // cannot be opened, so no lock can be kept on it.
    fs::permissions(m_dir.Path(), fs::perms::owner_write | fs::perms::owner_exec |
                                      fs::perms::group_write | fs::perms::group_exec |
                                      fs::perms::others_write | fs::perms::others_exec);
    std::vector<pid_t> children;
    for (const int base : {100000, 200000}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Root opens any folder: the games run as a player here.
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
            std::freopen("/dev/null", "w", stdout);
            int seen = 0;
            for (int i = 0; i < 200; ++i) {
                HighScoreStore store;
                store.SaveHighScore(base + i);
                const int read = store.LoadHighScore();
                if (read != 0 && read < seen) _exit(2);
                if (read != 0) seen = read;
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 2) << "a lower score replaced a higher record";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    fs::permissions(m_dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadWhole(m_dir.Path() / "highscore.txt"), "200199");
}
#endif

#if defined(_WIN32)
#include <windows.h>

#include <atomic>
#include <thread>

namespace {

// Another program's handle on the record, opened with the given sharing, as a
// virus scanner, an indexer or a sync client holds it.
class HeldFile {
public:
    HeldFile(const fs::path& path, DWORD sharing)
        : m_handle(CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Held() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release() {
        if (Held()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

}  // namespace

TEST_F(HighScoreStoreTest, ARecordHeldByAnotherProgramIsNeverLostNorClaimedSaved) {
    const fs::path record = m_dir.Path() / "highscore.txt";
    m_dir.Write("highscore.txt", "500");
    {
        // No sharing at all: the record cannot even be read meanwhile.
        HeldFile held(record, 0);
        ASSERT_TRUE(held.Held());
        CapturedStream out{std::cout};
        EXPECT_EQ(m_store.LoadHighScore(), 0);
        m_store.SaveHighScore(100);
        m_store.SaveHighScore(900);
        EXPECT_EQ(out.Text(), kReadFailure + kSaveFailure + kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(record), "500");
    {
        // Readable and writable by others, but not to be replaced.
        HeldFile held(record, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(held.Held());
        CapturedStream out{std::cout};
        EXPECT_EQ(m_store.LoadHighScore(), 500);
        m_store.SaveHighScore(900);
        EXPECT_EQ(out.Text(), kSaveFailure);
    }
    EXPECT_EQ(ReadWhole(record), "500");
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"}) << "no temporary file left";

    // Held only for a moment: the save waits it out.
    HeldFile held(record, 0);
    ASSERT_TRUE(held.Held());
    std::thread scanner([&held] {
        Sleep(20);
        held.Release();
    });
    CapturedStream out{std::cout};
    m_store.SaveHighScore(900);
    scanner.join();
    EXPECT_EQ(out.Text(), kSaved);
    EXPECT_EQ(ReadWhole(record), "900");
}

TEST_F(HighScoreStoreTest, TwoGamesSavingAtOnceNeverLowerTheRecord) {
    // Two games in threads (the console lines go to the log: a captured
    // stream is not for several threads).
    std::atomic<bool> lowered{false};
    const auto play = [&lowered](int base) {
        int seen = 0;
        for (int i = 0; i < 100; ++i) {
            HighScoreStore store;
            store.SaveHighScore(base + i);
            // 0: the record was being replaced at that moment.
            const int read = store.LoadHighScore();
            if (read != 0 && read < seen) lowered = true;
            if (read != 0) seen = read;
        }
    };
    std::thread first(play, 100000);
    std::thread second(play, 200000);
    first.join();
    second.join();
    EXPECT_FALSE(lowered) << "a lower score replaced a higher record";
    EXPECT_GE(m_store.LoadHighScore(), 200000);
    EXPECT_EQ(Entries(), std::vector<std::string>{"highscore.txt"}) << "no temporary file left";
}
#endif
