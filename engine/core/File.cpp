#include "File.h"

#include "platform/FileSystem.h"
#include "platform/Platform.h"

#include <cstdio>
#include <iostream>
#include <random>
#include <system_error>
#include <utility>

namespace vexa {

namespace {

namespace fs = std::filesystem;

fs::path directoryOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Where a file really is: a symbolic link is followed to the file it names, so
// a replace updates the linked file instead of replacing the link.
fs::path resolveLinks(const fs::path& file) {
    fs::path path = file;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// The permission bits decide, not an attempt: CI and some players run as root,
// for whom every write succeeds whatever the bits say.
bool isWritable(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

// Renaming over a file needs only the directory to be writable, so a
// write-protected file, or a directory in its place, is refused here.
bool isReplaceable(const fs::path& target) {
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec || status.type() != fs::file_type::regular) return false;
    return isWritable(target);
}

fs::perms permissionsOf(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    return ec ? fs::perms::unknown : status.permissions() & fs::perms::all;
}

constexpr std::size_t kTemporarySuffixLength = 21;  // ".<16 hex digits>.tmp"

// A fresh name beside the file for each replace, so two programs replacing it
// at once never write into the same temporary file.
fs::path temporaryNameFor(const fs::path& target) {
    std::random_device device;
    const std::uint64_t bits = (std::uint64_t{device()} << 32) ^ device();
    char suffix[kTemporarySuffixLength + 1];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(bits));
    return directoryOf(target) / (target.filename().string() + suffix);
}

bool isTemporaryNameFor(const fs::path& target, const std::string& name) {
    const std::string stem = target.filename().string();
    if (name.size() != stem.size() + kTemporarySuffixLength) return false;
    if (name.compare(0, stem.size(), stem) != 0) return false;
    const std::string suffix = name.substr(stem.size());
    if (suffix.front() != '.' || suffix.compare(17, 4, ".tmp") != 0) return false;
    return suffix.find_first_not_of("0123456789abcdef", 1) == 17;
}

// A program killed between writing its temporary file and moving it into place
// leaves the file behind. One older than a minute is no replace still under
// way: a replace takes at most seconds.
void removeLeftovers(const fs::path& target) {
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(directoryOf(target), ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path entry = it->path();
        if (!isTemporaryNameFor(target, entry.filename().string())) continue;
        std::error_code entryError;
        if (!fs::is_regular_file(fs::symlink_status(entry, entryError))) continue;
        const auto written = fs::last_write_time(entry, entryError);
        if (entryError || now - written < std::chrono::minutes(1)) continue;
        fs::remove(entry, entryError);
    }
}

enum class Step { Done, Taken, Failed, NoRoom };

// The new bytes go to a file of their own beside the target and only take its
// place once complete and on the disk, so a full disk, a crash or a power cut
// mid-write never costs the old file. A missing target is only ever created:
// Taken when another program created it meanwhile. NoRoom when no temporary
// file could be made there at all.
Step replaceThroughTemporaryFile(const fs::path& target, const std::string& bytes, bool create,
                                 fs::perms mode) {
    if (!isWritable(directoryOf(target))) return Step::NoRoom;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const fs::path temp = temporaryNameFor(target);
        if (!WriteNewFile(temp, bytes, mode)) continue;
        std::string reason;
        Step step = Step::Failed;
        if (!create) {
            step = platform::MoveIntoPlace(temp, target, reason) ? Step::Done : Step::Failed;
        } else {
            switch (platform::PlaceNewFile(temp, target, reason)) {
            case platform::PlaceResult::Placed:
                step = Step::Done;
                break;
            case platform::PlaceResult::Taken:
                step = Step::Taken;
                break;
            case platform::PlaceResult::Failed:
                break;
            }
        }
        if (step != Step::Done) {
            std::error_code ignored;
            fs::remove(temp, ignored);
        }
        return step;
    }
    return Step::NoRoom;
}

}  // namespace

bool SetFilePath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::current_path(path, ec);
    return !ec;
}

bool FileExists(const std::filesystem::path& path) {
    return std::filesystem::exists(path);
}

bool GetFileSize(const std::filesystem::path& path, std::size_t& size) {
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(path, ec);
    if (ec || bytes > std::numeric_limits<std::size_t>::max()) {
        size = std::numeric_limits<std::size_t>::max();
        return false;
    }
    size = static_cast<std::size_t>(bytes);
    return true;
}

bool ReadFile(const std::filesystem::path& path, std::string& buffer) {
    std::string reason;
    return ReadFile(path, buffer, kAnySize, reason);
}

bool ReadFile(const std::filesystem::path& path, std::string& buffer, std::uintmax_t maxBytes,
              std::string& reason) {
    if (!FileExists(path)) {
        reason = "there is no such file";
        return false;
    }
    FileContents file = ReadDataFile(path, maxBytes);
    if (!file.Ok()) {
        reason = std::move(file.reason);
        return false;
    }
    buffer.swap(file.bytes);
    return true;
}

FileContents ReadDataFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                          FileWait wait) {
    FileContents contents;
    const bool patient = wait == FileWait::Brief;
    switch (platform::ReadRegularFile(path, maxBytes, patient, contents.bytes, contents.reason)) {
    case platform::ReadStatus::Read:
        contents.status = FileContents::Status::Read;
        break;
    case platform::ReadStatus::Missing:
        contents.status = FileContents::Status::Missing;
        break;
    case platform::ReadStatus::Unreadable:
        contents.status = FileContents::Status::Unreadable;
        break;
    }
    return contents;
}

void ReportLoadFailure(std::string_view what, const std::filesystem::path& file,
                       std::string_view why) {
    std::cerr << "Cannot load " << what << ' ' << file.u8string() << ": " << why << std::endl;
}

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                  std::filesystem::perms mode) {
    return platform::WriteNewFile(path, bytes, mode);
}

bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes) {
    return platform::RewriteTextFile(path, bytes);
}

bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason) {
    return platform::MoveIntoPlace(replacement, target, reason);
}

FileTurn::FileTurn(const std::filesystem::path& file, std::chrono::milliseconds patience)
    : m_token(platform::TakeFileTurn(file, static_cast<long long>(patience.count()))) {}

FileTurn::~FileTurn() {
    platform::ReleaseFileTurn(m_token);
}

bool FileTurn::Held() const {
    return m_token != platform::kNoLock;
}

ReplaceOutcome ReplaceFileDurably(const std::filesystem::path& target,
                                  const ReplaceDecision& decide, const ReplaceOptions& options) {
    const fs::path file = resolveLinks(target);
    // Another program may create a missing file while this one decides; the
    // decision is then made again on what it created.
    for (int round = 0; round < 3; ++round) {
        const FileTurn turn(file, options.patience);
        // Read afresh in the turn, never taken from an earlier reading.
        const FileContents current = ReadDataFile(file, options.maxCurrentBytes, FileWait::Brief);
        const bool missing = current.status == FileContents::Status::Missing;
        // Without the turn, another program could put its own decision in
        // place between this reading and the replace, and this one would go
        // over it: better not to replace at all.
        if (!missing && !turn.Held()) return ReplaceOutcome::Failed;
        if (!isReplaceable(file)) return ReplaceOutcome::Failed;
        const std::optional<std::string> bytes = decide(current);
        if (!bytes) return ReplaceOutcome::Declined;

        removeLeftovers(file);
        const fs::perms mode = missing ? fs::perms::unknown : permissionsOf(file);
        switch (replaceThroughTemporaryFile(file, *bytes, missing, mode)) {
        case Step::Taken:
            continue;
        case Step::Failed:
            return ReplaceOutcome::Failed;
        case Step::NoRoom:
            // No new file can be made beside it (a read-only directory): a
            // writable file is rewritten where it stands, never emptied first.
            if (missing || !RewriteTextFile(file, *bytes)) return ReplaceOutcome::Failed;
            break;
        case Step::Done:
            break;
        }
        // Claimed only for what is really there now.
        const FileContents stored = ReadDataFile(file, bytes->size(), FileWait::Brief);
        if (!stored.Ok() || stored.bytes != *bytes) return ReplaceOutcome::Failed;
        platform::FilesChanged();
        return ReplaceOutcome::Replaced;
    }
    return ReplaceOutcome::Failed;
}

bool ReplaceFileDurably(const std::filesystem::path& target, const std::string& bytes) {
    ReplaceOptions options;
    // The old contents decide nothing here, so they are not read.
    options.maxCurrentBytes = 0;
    const auto always = [&bytes](const FileContents&) { return std::optional<std::string>(bytes); };
    return ReplaceFileDurably(target, always, options) == ReplaceOutcome::Replaced;
}

}  // namespace vexa
