#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// What each operating system's file (FileSystemPosix.cpp, FileSystemWindows.cpp)
// gives the one whole-file read, ReadRegularFile in FileSystem.cpp.
namespace vexa::platform::system {

using File = std::intptr_t;

// Opens `path` once for reading, without blocking, and says what it opened:
// Read with `file` and its `size` when it is a regular file, or Missing or
// Unreadable with `reason` ("it is a directory") and nothing left open.
ReadStatus OpenRegularFile(const std::filesystem::path& path, bool patient, File& file,
                           std::uintmax_t& size, std::string& reason);
// Reads at most `count` bytes into `into`: how many it read, 0 at the end of
// the file, less than 0 when it could not read.
std::ptrdiff_t ReadSome(File file, char* into, std::size_t count);
void Close(File file);

}  // namespace vexa::platform::system
