#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace vexa {

// Makes `path` the process's working directory; false leaves it unchanged.
bool SetFilePath(const std::filesystem::path& path);

// Throws std::filesystem::filesystem_error when the path cannot be examined.
bool FileExists(const std::filesystem::path& path);

// On failure `size` holds the largest uintmax_t, as std::filesystem reports it.
bool GetFileSize(const std::filesystem::path& path, std::size_t& size);

// The whole file, byte for byte. Returns false and leaves `buffer` untouched
// when the file is missing or cannot be opened or read in full.
bool ReadFile(const std::filesystem::path& path, std::string& buffer);

}  // namespace vexa
