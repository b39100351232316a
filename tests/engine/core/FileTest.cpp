#include "core/File.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using testing_support::ScopedWorkingDirectory;
using testing_support::TempDir;

TEST(File, SetFilePathChangesTheWorkingDirectoryOnlyWhenItExists) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Assets");
    dir.Write("Assets/model.txt", "inside");
    ScopedWorkingDirectory cwd(dir.Path());

    EXPECT_FALSE(vexa::SetFilePath("Missing"));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir.Path()));

    ASSERT_TRUE(vexa::SetFilePath("Assets"));
    std::string buffer;
    ASSERT_TRUE(vexa::ReadFile("model.txt", buffer));
    EXPECT_EQ(buffer, "inside");
}

TEST(File, ReadFileGivesExactBytesOrLeavesTheBufferAlone) {
    TempDir dir;
    const auto text = dir.Write("lines.txt", "{1, 0, 0}\r\n2\n");
    const auto empty = dir.Write("empty.txt", "");

    std::string buffer = "previous";
    ASSERT_TRUE(vexa::ReadFile(text, buffer));
    EXPECT_EQ(buffer, std::string("{1, 0, 0}\r\n2\n"));

    ASSERT_TRUE(vexa::ReadFile(empty, buffer));
    EXPECT_TRUE(buffer.empty());

    std::size_t size = 0;
    EXPECT_TRUE(vexa::GetFileSize(text, size));
    EXPECT_EQ(size, 13u);
    EXPECT_FALSE(vexa::GetFileSize(dir.Path() / "missing.txt", size));

    buffer = "kept";
    EXPECT_FALSE(vexa::FileExists(dir.Path() / "missing.txt"));
    EXPECT_FALSE(vexa::ReadFile(dir.Path() / "missing.txt", buffer));
    EXPECT_EQ(buffer, "kept");

    // A directory exists but cannot be read as a file: no invented NUL bytes.
    EXPECT_TRUE(vexa::FileExists(dir.Path()));
    EXPECT_FALSE(vexa::ReadFile(dir.Path(), buffer));
    EXPECT_EQ(buffer, "kept");
}

TEST(File, CheckDataFileAcceptsOnlyRegularFilesWithinTheLimit) {
    TempDir dir;
    const auto file = dir.Write("data.bin", std::string(100, 'x'));
    EXPECT_EQ(vexa::CheckDataFile(file), "");
    EXPECT_EQ(vexa::CheckDataFile(file, 100), "");
    EXPECT_EQ(vexa::CheckDataFile(file, 99), "it is 100 bytes, more than the 99 allowed");
    EXPECT_EQ(vexa::CheckDataFile(dir.Path() / "missing"), "there is no such file");
    EXPECT_EQ(vexa::CheckDataFile(dir.Path()), "it is a directory");

    std::string buffer = "kept";
    EXPECT_FALSE(vexa::ReadFile(file, buffer, 99));
    EXPECT_EQ(buffer, "kept");
    EXPECT_TRUE(vexa::ReadFile(file, buffer, 100));
    EXPECT_EQ(buffer.size(), 100u);
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

    std::string buffer;
    EXPECT_TRUE(vexa::ReadFile(dir.Path() / "link.txt", buffer));
    EXPECT_EQ(buffer, "abc");
    EXPECT_EQ(vexa::CheckDataFile(dir.Path() / "dangling.txt"), "there is no such file");
    // Opening a FIFO with no writer would wait for ever; it is never opened.
    EXPECT_EQ(vexa::CheckDataFile(fifo), "it is not a regular file");
    EXPECT_FALSE(vexa::ReadFile(fifo, buffer));
    EXPECT_EQ(buffer, "abc");

    // A link planted where a new file is to be made is not written through.
    std::filesystem::create_symlink(target, dir.Path() / "planted.txt");
    EXPECT_FALSE(vexa::WriteNewFile(dir.Path() / "planted.txt", "999"));
    EXPECT_EQ(testing_support::ReadWhole(target), "abc");
}

#if !defined(__SANITIZE_ADDRESS__)
// AddressSanitizer reserves terabytes of shadow memory and dies on a failed
// allocation by design, so a capped address space can only be tried without it.
namespace {

// Exits 0 when reading `path` fails and leaves the buffer alone in a process
// limited to 1 GiB of address space.
[[noreturn]] void readUnderCappedMemory(const std::filesystem::path& path) {
    rlimit cap{};
    cap.rlim_cur = cap.rlim_max = rlim_t{1} << 30;
    setrlimit(RLIMIT_AS, &cap);
    std::string buffer = "kept";
    const bool read = vexa::ReadFile(path, buffer);
    std::exit(!read && buffer == "kept" ? 0 : 1);
}

}  // namespace

TEST(File, ReadFileOfAHugeFileFailsCleanlyWhenMemoryRunsOut) {
    TempDir dir;
    const auto huge = dir.Write("huge.txt", "x");
    std::filesystem::resize_file(huge, std::uintmax_t{8} << 30);

    EXPECT_EXIT(readUnderCappedMemory(huge), ::testing::ExitedWithCode(0), "");
}
#endif
#endif
