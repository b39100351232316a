#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The system calls behind vexa's file functions (core/File.h), one source file
// per operating system. Nothing here throws.
namespace vexa::platform {

enum class ReadStatus { Read, Missing, Unreadable };

// Opens `path` once, without blocking, and reads it whole when the open file
// is a regular file of at most `maxBytes` bytes. `reason` says why not,
// worded for a message ("it is a directory"). `bytes` is only set on Read.
// With `patient`, a file another program holds for a moment (a sharing
// violation, on systems that have them) is tried again for about a tenth of
// a second before it counts as unreadable.
ReadStatus ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes, bool patient,
                           std::string& bytes, std::string& reason);

// Creates `path` as a new file (never replacing or following anything there),
// writes `bytes` and flushes them to the disk before closing. A file it made
// but could not fill is removed again.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes);

// Writes `bytes` over the start of the existing regular file `path`, spaces
// over the rest of its old length, then cuts it to `bytes`' length and flushes
// it to the disk. Never creates, follows to a new file or empties the file first.
bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes);

// Puts `replacement` in `target`'s place in one step and makes the change
// durable; `reason` says why not. On failure both files stay as they were.
bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason);

// Takes the lock every program shares for saves into `directory`, waiting up
// to about a second for another holder. Returns a token for UnlockDirectory,
// or kNoLock when the lock could not be had.
inline constexpr std::intptr_t kNoLock = -1;
std::intptr_t LockDirectory(const std::filesystem::path& directory);
void UnlockDirectory(std::intptr_t token);

}  // namespace vexa::platform
