#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Makes `path` the process's working directory; false leaves it unchanged.
bool SetFilePath(const std::filesystem::path& path);

// Whether something is at `path`. A path the file system refuses to examine
// (a name too long for it, a loop of symbolic links, a directory on the way
// that may not be searched) throws std::filesystem::filesystem_error rather
// than passing for a missing file: the caller says what went wrong.
bool FileExists(const std::filesystem::path& path);

// The size of the file at `path` in bytes. On failure `size` holds the largest
// size_t and the result is false, also for a size no size_t can hold.
bool GetFileSize(const std::filesystem::path& path, std::size_t& size);

// Reads the whole regular file at `path` into `buffer`, byte for byte. False
// leaves `buffer` untouched: a missing file, one that cannot be opened or read,
// and a FIFO, a device or a file too large for memory in its place. Asks
// FileExists first and lets its filesystem_error through to the caller.
bool ReadFile(const std::filesystem::path& path, std::string& buffer);

// The same for a loader that also refuses files over `maxBytes` and says why
// it could not read one, worded for a message ("there is no such file").
bool ReadFile(const std::filesystem::path& path, std::string& buffer, std::uintmax_t maxBytes,
              std::string& reason);

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
// exactly and flushes them to the disk. `mode`, when known, is given to the
// file exactly (whatever the process's umask); otherwise it gets the usual
// read-write for its owner, readable by all. False when the file could not be
// created or not written in full; a file it created but could not fill is
// removed again.
bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                  std::filesystem::perms mode = std::filesystem::perms::unknown);

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

// Held while a program reads a file, decides and replaces it, so that two
// programs replacing the same file take turns rather than one putting a
// decision made on an old reading over the other's. The turn is kept on the
// file itself, so it can be had wherever the file can be read, whatever the
// directory allows. A file that is not there has no turn to take (a replace
// then only ever creates it, never replaces what another made meanwhile),
// nor has one that cannot be opened for reading.
class FileTurn {
public:
    FileTurn(const std::filesystem::path& file, std::chrono::milliseconds patience);
    ~FileTurn();
    FileTurn(const FileTurn&) = delete;
    FileTurn& operator=(const FileTurn&) = delete;

    bool Held() const;

private:
    std::intptr_t m_token;
};

// How a file that a program keeps (a record, a save) is replaced.
struct ReplaceOptions {
    // The largest current file the decision is given; a larger one is Unreadable.
    std::uintmax_t maxCurrentBytes = kAnySize;
    // How long to wait for another program's turn on the file before giving up.
    // A turn is held for the time a write takes to reach the disk, seconds on a
    // slow card or a network folder.
    std::chrono::milliseconds patience{5000};
};

enum class ReplaceOutcome { Replaced, Declined, Failed };

// The file's new bytes given its current contents, or nothing to keep it.
using ReplaceDecision = std::function<std::optional<std::string>(const FileContents& current)>;

// Replaces the file at `target` (a symbolic link is followed, and the file it
// names is replaced) with the bytes `decide` makes from what it holds now,
// read in `target`'s turn. The new bytes go to a file of their own beside it,
// with the old file's permissions, and reach the disk before that file takes
// `target`'s place, so a crash or a power cut leaves the old file or the new
// one; where no file can be made beside it, a writable `target` is rewritten
// where it stands. Never puts bytes in place without the turn unless `target`
// is missing, and then only creates it: the decision is made again on what
// another program created meanwhile. Temporary files that a killed program
// left beside `target` more than a minute ago are removed. Replaced only when
// `target` holds the new bytes afterwards; the platform then learns that a
// kept file changed. A protected `target`, or a directory in its place, is
// never replaced. Never throws, unless `decide` does.
ReplaceOutcome ReplaceFileDurably(const std::filesystem::path& target,
                                  const ReplaceDecision& decide,
                                  const ReplaceOptions& options = {});

// The same, putting `bytes` in place whatever the file held.
bool ReplaceFileDurably(const std::filesystem::path& target, const std::string& bytes);

}  // namespace vexa
