#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>

namespace vexa {

// Makes `path` the process's working directory; false leaves it unchanged.
bool SetFilePath(const std::filesystem::path& path);

// Throws std::filesystem::filesystem_error when the path cannot be examined.
bool FileExists(const std::filesystem::path& path);

// On failure `size` holds the largest uintmax_t, as std::filesystem reports it.
bool GetFileSize(const std::filesystem::path& path, std::size_t& size);

inline constexpr std::uintmax_t kAnySize = std::numeric_limits<std::uintmax_t>::max();

// Empty when `path` names a regular file (links followed) of at most `maxBytes`
// bytes; otherwise why not, worded for a message ("there is no such file").
// Nothing is opened: a FIFO or a device in a file's place could block an open
// for ever or be read without end, so only the file's status is examined.
// Never throws.
std::string CheckDataFile(const std::filesystem::path& path, std::uintmax_t maxBytes = kAnySize);

// The whole file, byte for byte. Returns false and leaves `buffer` untouched
// when the file is missing, is not a regular file, is larger than `maxBytes`,
// cannot be opened or read in full, or memory for it cannot be had. Throws
// std::filesystem::filesystem_error only when the path cannot be examined.
bool ReadFile(const std::filesystem::path& path, std::string& buffer,
              std::uintmax_t maxBytes = kAnySize);

// Creates `path` as a new file, never replacing or following anything already
// there (a link planted at that name makes it fail), and writes `bytes` to it
// exactly. False when the file could not be created or not written in full; a
// file it created but could not fill is removed again.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vexa
