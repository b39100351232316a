#include "core/File.h"

#include "TempDir.h"

#include <gtest/gtest.h>

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
