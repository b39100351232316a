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
// writes `bytes` and flushes them to the disk before closing. `mode`, unless
// unknown, is given to the file exactly, umask or not (where files have modes).
// A file it made but could not fill is removed again.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                  std::filesystem::perms mode);

// Writes `bytes` over the start of the existing regular file `path`, spaces
// over the rest of its old length, then cuts it to `bytes`' length and flushes
// it to the disk. Never creates, follows to a new file or empties the file first.
bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes);

// Puts `replacement` in `target`'s place in one step and makes the change
// durable; `reason` says why not. On failure both files stay as they were.
bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason);

enum class PlaceResult { Placed, Taken, Failed };

// Gives `replacement` the name `target` only if nothing has that name yet, in
// one step, and makes the change durable. Taken when something has (and
// `replacement` stays); Failed with `reason` otherwise. Where the file system
// cannot refuse an existing name in one step, the move replaces it.
PlaceResult PlaceNewFile(const std::filesystem::path& replacement,
                         const std::filesystem::path& target, std::string& reason);

// Takes the lock every program shares for replacing `file`, waiting up to
// `patienceMs` for another holder. Returns a token for ReleaseFileTurn, or kNoLock
// when the lock could not be had, or there is no lock to take (on systems
// where the lock lives on the file itself, a missing or unopenable file).
inline constexpr std::intptr_t kNoLock = -1;
std::intptr_t TakeFileTurn(const std::filesystem::path& file, long long patienceMs);
void ReleaseFileTurn(std::intptr_t token);

}  // namespace vexa::platform
