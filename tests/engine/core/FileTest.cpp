#include "core/File.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using testing_support::ScopedWorkingDirectory;
using testing_support::TempDir;

using Status = vexa::FileContents::Status;

TEST(File, SetFilePathChangesTheWorkingDirectoryOnlyWhenItExists) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Assets");
    dir.Write("Assets/model.txt", "inside");
    ScopedWorkingDirectory cwd(dir.Path());

    EXPECT_FALSE(vexa::SetFilePath("Missing"));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.Path()));

    ASSERT_TRUE(vexa::SetFilePath("Assets"));
    std::string buffer;
    EXPECT_TRUE(vexa::ReadFile("model.txt", buffer));
    EXPECT_EQ(buffer, "inside");
}

TEST(File, ReadDataFileGivesExactBytesOrSaysWhyNot) {
    TempDir dir;
    const auto text = dir.Write("lines.txt", "{1, 0, 0}\r\n2\n");
    const auto empty = dir.Write("empty.txt", "");

    vexa::FileContents read = vexa::ReadDataFile(text);
    ASSERT_EQ(read.status, Status::Read) << read.reason;
    EXPECT_TRUE(read.Ok());
    EXPECT_EQ(read.bytes, std::string("{1, 0, 0}\r\n2\n"));
    EXPECT_TRUE(read.reason.empty());

    read = vexa::ReadDataFile(empty);
    EXPECT_TRUE(read.Ok());
    EXPECT_TRUE(read.bytes.empty());

    // Missing and unreadable are told apart: a store may replace the first,
    // never the second.
    read = vexa::ReadDataFile(dir.Path() / "missing.txt");
    EXPECT_EQ(read.status, Status::Missing);
    EXPECT_EQ(read.reason, "there is no such file");
    EXPECT_EQ(vexa::ReadDataFile(dir.Path() / "missing" / "x.txt").status, Status::Missing);

    // A directory exists but cannot be read as a file: no invented NUL bytes.
    read = vexa::ReadDataFile(dir.Path());
    EXPECT_EQ(read.status, Status::Unreadable);
    EXPECT_EQ(read.reason, "it is a directory");
    EXPECT_TRUE(read.bytes.empty());
}

TEST(File, ReadDataFileRefusesFilesOverTheLimit) {
    TempDir dir;
    const auto file = dir.Write("data.bin", std::string(100, 'x'));
    EXPECT_TRUE(vexa::ReadDataFile(file, 100).Ok());
    const vexa::FileContents read = vexa::ReadDataFile(file, 99);
    EXPECT_EQ(read.status, Status::Unreadable);
    EXPECT_EQ(read.reason, "it is 100 bytes, more than the 99 allowed");
    EXPECT_TRUE(read.bytes.empty());
}

TEST(File, ReadFileFillsTheBufferOnlyWithAFileItCouldRead) {
    TempDir dir;
    const auto text = dir.Write("model.txt", std::string("1\r\n\0x", 5));
    const auto empty = dir.Write("empty.txt", "");
    std::filesystem::create_directory(dir.Path() / "folder");

    EXPECT_TRUE(vexa::FileExists(text));
    EXPECT_TRUE(vexa::FileExists(dir.Path() / "folder"));
    EXPECT_FALSE(vexa::FileExists(dir.Path() / "missing.txt"));
    std::size_t size = 7;
    EXPECT_TRUE(vexa::GetFileSize(text, size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(vexa::GetFileSize(dir.Path() / "missing.txt", size));
    EXPECT_EQ(size, std::numeric_limits<std::size_t>::max());

    std::string buffer = "kept";
    ASSERT_TRUE(vexa::ReadFile(text, buffer));
    EXPECT_EQ(buffer, std::string("1\r\n\0x", 5));
    ASSERT_TRUE(vexa::ReadFile(empty, buffer));
    EXPECT_EQ(buffer, "");
    for (const auto& unreadable : {dir.Path() / "missing.txt", dir.Path() / "folder"}) {
        buffer = "kept";
        EXPECT_FALSE(vexa::ReadFile(unreadable, buffer)) << unreadable;
        EXPECT_EQ(buffer, "kept") << "no invented NUL bytes for " << unreadable;
    }

    // The form a loader uses says why, and keeps to the loader's limit.
    std::string reason;
    EXPECT_FALSE(vexa::ReadFile(text, buffer, 4, reason));
    EXPECT_EQ(reason, "it is 5 bytes, more than the 4 allowed");
    EXPECT_EQ(buffer, "kept");
}

TEST(File, APathTheFileSystemRefusesToExamineThrowsThroughReadFile) {
    TempDir dir;
    const auto path = dir.Path() / std::string(300, 'n');  // longer than a name may be
    std::error_code ec;
    if (std::filesystem::status(path, ec).type() != std::filesystem::file_type::none)
        GTEST_SKIP() << "this file system takes such a name for a missing file";
    EXPECT_THROW(vexa::FileExists(path), std::filesystem::filesystem_error);
    std::string buffer = "kept";
    EXPECT_THROW(vexa::ReadFile(path, buffer), std::filesystem::filesystem_error);
    EXPECT_EQ(buffer, "kept");
}

TEST(File, WriteNewFileNeverReplacesOrFollowsWhatIsAlreadyThere) {
    TempDir dir;
    const auto fresh = dir.Path() / "fresh.txt";
    ASSERT_TRUE(vexa::WriteNewFile(fresh, std::string("12\n\0x", 5)));
    EXPECT_EQ(testing_support::ReadWhole(fresh), std::string("12\n\0x", 5)) << "bytes exactly";

    EXPECT_FALSE(vexa::WriteNewFile(fresh, "99"));
    EXPECT_EQ(testing_support::ReadWhole(fresh), std::string("12\n\0x", 5));

    EXPECT_FALSE(vexa::WriteNewFile(dir.Path() / "no-such-dir" / "x.txt", "1"));
}

TEST(File, RewriteTextFileLeavesExactlyTheNewTextAndCreatesNothing) {
    TempDir dir;
    const auto longer = dir.Write("longer.txt", "  12345\n");
    ASSERT_TRUE(vexa::RewriteTextFile(longer, "678"));
    EXPECT_EQ(testing_support::ReadWhole(longer), "678") << "the old tail must be cut off";
    const auto shorter = dir.Write("shorter.txt", "9");
    ASSERT_TRUE(vexa::RewriteTextFile(shorter, "10000"));
    EXPECT_EQ(testing_support::ReadWhole(shorter), "10000");

    EXPECT_FALSE(vexa::RewriteTextFile(dir.Path() / "missing.txt", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing.txt"));
    std::filesystem::create_directory(dir.Path() / "folder");
    EXPECT_FALSE(vexa::RewriteTextFile(dir.Path() / "folder", "1"));
}

TEST(File, MoveIntoPlaceReplacesInOneStepOrLeavesBothFiles) {
    TempDir dir;
    const auto target = dir.Write("record.txt", "old");
    const auto replacement = dir.Write("record.new", "new");
    std::string reason;
    ASSERT_TRUE(vexa::MoveIntoPlace(replacement, target, reason)) << reason;
    EXPECT_EQ(testing_support::ReadWhole(target), "new");
    EXPECT_FALSE(std::filesystem::exists(replacement));

    // A directory holding files cannot be replaced by a file.
    std::filesystem::create_directory(dir.Path() / "busy");
    dir.Write("busy/keep", "k");
    const auto second = dir.Write("second.new", "2");
    EXPECT_FALSE(vexa::MoveIntoPlace(second, dir.Path() / "busy", reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(testing_support::ReadWhole(second), "2");
    EXPECT_EQ(testing_support::ReadWhole(dir.Path() / "busy" / "keep"), "k");
}

namespace {

using std::chrono::milliseconds;

// Replaces `target` by `bytes` when they are a higher number than it holds.
vexa::ReplaceOutcome replaceIfHigher(const std::filesystem::path& target, int score,
                                     milliseconds patience = milliseconds{5000}) {
    vexa::ReplaceOptions options;
    options.patience = patience;
    const auto decide = [score](const vexa::FileContents& current) -> std::optional<std::string> {
        if (current.Ok() && std::stoi(current.bytes) >= score) return std::nullopt;
        return std::to_string(score);
    };
    return vexa::ReplaceFileDurably(target, decide, options);
}

}  // namespace

TEST(File, AFileTurnIsHeldByOneHolderAtATime) {
    TempDir dir;
    const auto file = dir.Write("record.txt", "1");
    const auto otherTakes = [](const std::filesystem::path& what) {
        bool held = false;
        std::thread other([&] { held = vexa::FileTurn(what, milliseconds{30}).Held(); });
        other.join();
        return held;
    };
    {
        const vexa::FileTurn turn(file, milliseconds{0});
        ASSERT_TRUE(turn.Held());
        EXPECT_FALSE(otherTakes(file));
        EXPECT_TRUE(otherTakes(dir.Write("other.txt", "2"))) << "a turn on another file";
    }
    EXPECT_TRUE(otherTakes(file)) << "the turn was not let go";
}

TEST(File, ASlowReplaceIsNeverOvertakenByOneThatCannotHaveItsTurn) {
    // The first decision is taken on "1000"; while it is still on its way to
    // the disk a second program decides on 2000. Going on without the turn, it
    // would store 2000, claim it, and see the first put 1500 over it.
    TempDir dir;
    const auto record = dir.Write("record.txt", "1000");
    vexa::ReplaceOutcome second = vexa::ReplaceOutcome::Replaced;
    const auto slowDecision = [&](const vexa::FileContents& current) {
        std::thread other([&] { second = replaceIfHigher(record, 2000, milliseconds{50}); });
        other.join();
        return current.bytes == "1000" ? std::optional<std::string>("1500") : std::nullopt;
    };
    EXPECT_EQ(vexa::ReplaceFileDurably(record, slowDecision), vexa::ReplaceOutcome::Replaced);
    EXPECT_EQ(second, vexa::ReplaceOutcome::Failed) << "a replace claimed without its turn";
    EXPECT_EQ(testing_support::ReadWhole(record), "1500");
}

TEST(File, AMissingFileIsOnlyCreatedNeverReplacedOnAnOldReading) {
    TempDir dir;
    const auto record = dir.Path() / "record.txt";
    std::vector<std::string> seen;
    const auto decision = [&](const vexa::FileContents& current) -> std::optional<std::string> {
        seen.push_back(current.Ok() ? current.bytes : "missing");
        // Another program creates the file while this one decides.
        if (seen.size() == 1) {
            EXPECT_EQ(replaceIfHigher(record, 2000), vexa::ReplaceOutcome::Replaced);
        }
        if (current.Ok() && current.bytes == "2000") return std::nullopt;
        return "1500";
    };
    EXPECT_EQ(vexa::ReplaceFileDurably(record, decision), vexa::ReplaceOutcome::Declined);
    EXPECT_EQ(seen, (std::vector<std::string>{"missing", "2000"})) << "decided again";
    EXPECT_EQ(testing_support::ReadWhole(record), "2000");
}

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>

TEST(File, LinksAreFollowedButFifosAndDanglingLinksAreRefusedWithoutBlocking) {
    TempDir dir;
    const auto target = dir.Write("target.txt", "abc");
    std::filesystem::create_symlink(target, dir.Path() / "link.txt");
    std::filesystem::create_symlink(dir.Path() / "gone.txt", dir.Path() / "dangling.txt");
    const auto fifo = dir.Path() / "pipe.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(vexa::ReadDataFile(dir.Path() / "link.txt").bytes, "abc");
    EXPECT_EQ(vexa::ReadDataFile(dir.Path() / "dangling.txt").status, Status::Missing);
    // A FIFO with no writer would hold a blocking open for ever.
    vexa::FileContents read = vexa::ReadDataFile(fifo);
    EXPECT_EQ(read.status, Status::Unreadable);
    EXPECT_EQ(read.reason, "it is not a regular file");
    // A device could be read without end.
    read = vexa::ReadDataFile("/dev/zero");
    EXPECT_EQ(read.status, Status::Unreadable);
    EXPECT_EQ(read.reason, "it is not a regular file");

    // A link planted where a new file is to be made is not written through.
    std::filesystem::create_symlink(target, dir.Path() / "planted.txt");
    EXPECT_FALSE(vexa::WriteNewFile(dir.Path() / "planted.txt", "999"));
    EXPECT_EQ(testing_support::ReadWhole(target), "abc");
    // Nor is a FIFO rewritten: with no reader, opening it to write would wait.
    EXPECT_FALSE(vexa::RewriteTextFile(fifo, "999"));
}

TEST(File, AReplaceKeepsTheModeAndClearsTemporaryFilesLeftLongAgo) {
    TempDir dir;
    const auto record = dir.Write("record.txt", "1");
    // A mode the usual umask would narrow.
    ASSERT_EQ(chmod(record.c_str(), 0664), 0);
    const auto old = dir.Write("record.txt.0123456789abcdef.tmp", "7");
    std::filesystem::last_write_time(
        old, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    // Another save's, still under way; and names no replace ever made.
    const std::vector<std::string> kept = {"record.txt.fedcba9876543210.tmp", "record.txt.tmp",
                                           "record.txt.0123456789ABCDEF.tmp", "other.txt"};
    for (const auto& name : kept) {
        const auto path = dir.Write(name, "x");
        std::filesystem::last_write_time(path, std::filesystem::last_write_time(old));
    }
    std::filesystem::last_write_time(dir.Path() / kept[0],
                                     std::filesystem::file_time_type::clock::now());

    ASSERT_TRUE(vexa::ReplaceFileDurably(record, "2"));
    EXPECT_EQ(testing_support::ReadWhole(record), "2");
    struct stat status {};
    ASSERT_EQ(stat(record.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
    EXPECT_FALSE(std::filesystem::exists(old));
    for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(dir.Path() / name)) << name;
}

#if !defined(__SANITIZE_ADDRESS__)
// AddressSanitizer reserves terabytes of shadow memory and dies on a failed
// allocation by design, so a capped address space can only be tried without it.
namespace {

// Exits 0 when reading `path` fails cleanly in a process limited to 1 GiB of
// address space.
[[noreturn]] void readUnderCappedMemory(const std::filesystem::path& path) {
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = rlim_t{1} << 30;
    setrlimit(RLIMIT_AS, &cap);
    const vexa::FileContents read = vexa::ReadDataFile(path);
    std::exit(read.status == vexa::FileContents::Status::Unreadable && read.bytes.empty() ? 0 : 1);
}

}  // namespace

TEST(File, ReadDataFileOfAHugeFileFailsCleanlyWhenMemoryRunsOut) {
    TempDir dir;
    const auto huge = dir.Write("huge.txt", "x");
    std::filesystem::resize_file(huge, std::uintmax_t{8} << 30);

    EXPECT_EXIT(readUnderCappedMemory(huge), ::testing::ExitedWithCode(0), "");
}
#endif
#endif
