#include "core/File.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

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
    EXPECT_EQ(vexa::ReadDataFile("model.txt").bytes, "inside");
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

TEST(File, ADirectoryLockIsHeldByOneHolderAtATime) {
    TempDir dir;
    const auto otherTakes = [](const std::filesystem::path& where) {
        bool held = false;
        std::thread other([&] { held = vexa::DirectoryLock(where).Held(); });
        other.join();
        return held;
    };
    {
        const vexa::DirectoryLock lock(dir.Path());
        ASSERT_TRUE(lock.Held());
        // Another holder waits about a second, then goes on without it.
        EXPECT_FALSE(otherTakes(dir.Path()));
        std::filesystem::create_directory(dir.Path() / "elsewhere");
        EXPECT_TRUE(otherTakes(dir.Path() / "elsewhere")) << "a lock on another directory";
    }
    EXPECT_TRUE(otherTakes(dir.Path())) << "the lock was not let go";
    { const vexa::DirectoryLock missing(dir.Path() / "missing"); }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing")) << "a lock made its directory";
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
