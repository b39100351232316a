#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

namespace vexa {

// Makes `path` the process's working directory; false leaves it unchanged.
bool SetFilePath(const std::filesystem::path& path);

inline constexpr std::uintmax_t kAnySize = std::numeric_limits<std::uintmax_t>::max();

// A whole file as read by ReadDataFile.
struct FileContents {
    enum class Status { Read, Missing, Unreadable };

    Status status = Status::Unreadable;
    // The file byte for byte when it was read.
    std::string bytes;
    // Why it was not, worded for a message: "there is no such file".
    std::string reason;

    bool Ok() const { return status == Status::Read; }
};

// How long a read waits for a file that another program holds open.
enum class FileWait {
    // Not at all: for files read on every frame.
    None,
    // A few tries within about a tenth of a second, the time a virus scanner,
    // an indexer or a sync client holds a file (Windows refuses such a file
    // with a sharing violation; elsewhere nothing locks a file against reading).
    Brief,
};

// The one way to read a data file: opened once, without blocking, and read
// whole only when the open file is a regular file (links followed) of at most
// `maxBytes` bytes, so a FIFO or a device in a file's place can neither hang
// nor flood the game. A file that is not there is Missing; one that is there
// but cannot be read (a directory, no permission, another program holding it,
// too large) is Unreadable. Never throws.
FileContents ReadDataFile(const std::filesystem::path& path, std::uintmax_t maxBytes = kAnySize,
                          FileWait wait = FileWait::None);

// The line every loader writes to stderr for a file it could not use:
// "Cannot load <what> <file>: <why>".
void ReportLoadFailure(std::string_view what, const std::filesystem::path& file,
                       std::string_view why);

// Creates `path` as a new file, never replacing or following anything already
// there (a link planted at that name makes it fail), writes `bytes` to it
// exactly and flushes them to the disk. False when the file could not be
// created or not written in full; a file it created but could not fill is
// removed again.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes);

// Rewrites the existing text file `path` where it stands, for where no new
// file can be made beside it: `bytes` go over the old ones and spaces over the
// rest of the old length in one write, then the file is cut to `bytes`' length
// and flushed to the disk. It is never emptied first, so a crash on the way
// leaves the old text or the new one with blanks after it. False when `path`
// is not a regular file that can be written, or the write failed.
bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes);

// Puts the file `replacement` in the place of `target` in one step, so that
// `target` is always either the old file or the new one, and makes the change
// durable before returning. On failure `reason` says why and both files stay
// as they were.
bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason);

// Held while a program reads a file again, decides and replaces it, so that
// two programs saving into one directory at the same moment take turns rather
// than one putting a decision made on an old reading over the other's save.
// Waits up to about a second for the other; without the lock (a directory
// that cannot be opened, a holder that never lets go) the save goes on as it
// would alone.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::filesystem::path& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    bool Held() const;

private:
    std::intptr_t m_token;
};

}  // namespace vexa
