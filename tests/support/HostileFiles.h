#pragma once

#include <cstdint>
#include <filesystem>

namespace testing_support {

// Hostile stand-ins for a data file. Each returns false where the system
// cannot make one, and the caller skips its case.

// A named pipe: opening it for reading blocks until a writer comes.
bool MakeFifo(const std::filesystem::path& path);
// A symbolic link to a device that reads without end.
bool MakeEndlessLink(const std::filesystem::path& path);
// A sparse file of `bytes` bytes that takes no disk space.
bool MakeSparseFile(const std::filesystem::path& path, std::uintmax_t bytes);

}  // namespace testing_support
