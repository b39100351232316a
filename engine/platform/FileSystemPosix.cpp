#include "platform/FileSystem.h"

#include "platform/SystemFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace vexa::platform {

namespace {

std::string describe(int error) {
    return std::strerror(error);
}

// Empty when the open file is a regular file.
std::string checkOpened(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) return "it is a directory";
    if (!S_ISREG(status.st_mode) || status.st_size < 0) return "it is not a regular file";
    return {};
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t chunk = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (chunk < 0 && errno == EINTR) continue;
        if (chunk <= 0) return false;
        done += static_cast<std::size_t>(chunk);
    }
    return true;
}

// After a rename the directory entry itself must reach the disk, or a power
// cut can bring back the old name.
void syncDirectoryOf(const std::filesystem::path& file) {
    const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

namespace system {

// Nothing here locks a file against reading: there is nothing to be patient for.
ReadStatus OpenRegularFile(const std::filesystem::path& path, bool /*patient*/, File& file,
                           std::uintmax_t& size, std::string& reason) {
    // Non-blocking, so a FIFO in the file's place cannot hold the open up; the
    // type is then judged on the open descriptor, so nothing can be swapped in
    // between the check and the read. Four system calls: the record is read
    // on every frame.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            reason = "there is no such file";
            return ReadStatus::Missing;
        }
        reason = describe(error);
        return ReadStatus::Unreadable;
    }
    struct stat status {};
    reason = ::fstat(fd, &status) != 0 ? describe(errno) : checkOpened(status);
    if (!reason.empty()) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    file = fd;
    size = static_cast<std::uintmax_t>(status.st_size);
    return ReadStatus::Read;
}

std::ptrdiff_t ReadSome(File file, char* into, std::size_t count) {
    for (;;) {
        const ssize_t chunk = ::read(static_cast<int>(file), into, count);
        if (chunk >= 0 || errno != EINTR) return chunk;
    }
}

void Close(File file) {
    ::close(static_cast<int>(file));
}

}  // namespace system

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                  std::filesystem::perms mode) {
    // O_EXCL refuses any existing name, a symbolic link included, so the bytes
    // can only ever land in a file made here and now.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) return false;
    // Set on the descriptor, before the flush, so the mode reaches the disk
    // with the bytes; the umask would otherwise narrow a mode the file had.
    bool ok = mode == std::filesystem::perms::unknown ||
              ::fchmod(fd, static_cast<mode_t>(mode & std::filesystem::perms::all)) == 0;
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes) {
    // O_NONBLOCK: a FIFO put in the file's place must not hang the game here.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status {};
    bool ok = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (ok) {
        std::string padded = bytes;
        const auto oldSize = static_cast<std::uintmax_t>(status.st_size);
        if (oldSize > padded.size()) padded.resize(static_cast<std::size_t>(oldSize), ' ');
        ok = writeAll(fd, padded) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
             ::fsync(fd) == 0;
    }
    return (::close(fd) == 0) && ok;
}

bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason) {
    if (::rename(replacement.c_str(), target.c_str()) != 0) {
        reason = describe(errno);
        return false;
    }
    syncDirectoryOf(target);
    return true;
}

PlaceResult PlaceNewFile(const std::filesystem::path& replacement,
                         const std::filesystem::path& target, std::string& reason) {
    // A second name fails on an existing one, where a rename would replace it.
    if (::link(replacement.c_str(), target.c_str()) == 0) {
        ::unlink(replacement.c_str());
        syncDirectoryOf(target);
        return PlaceResult::Placed;
    }
    if (errno == EEXIST) return PlaceResult::Taken;
    // FAT cards and the browser's file system have no second names.
    return MoveIntoPlace(replacement, target, reason) ? PlaceResult::Placed : PlaceResult::Failed;
}

std::intptr_t TakeFileTurn(const std::filesystem::path& file, long long patienceMs) {
    // flock on the file itself: it needs no file of its own and no right to
    // read the directory (a folder of mode 0333 can still be saved into), and
    // is let go when the holder exits or crashes. A replace puts a new file
    // under the name, so a lock won on a file that has since been replaced is
    // given up and taken again on the new one.
    long long waitedMs = 0;
    for (int replaced = 0; replaced < 100; ++replaced) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return kNoLock;
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waitedMs >= patienceMs) {
                ::close(fd);
                return kNoLock;
            }
            ::usleep(10000);
            waitedMs += 10;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(file.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            return fd;
        }
        ::close(fd);
    }
    return kNoLock;
}

void ReleaseFileTurn(std::intptr_t token) {
    if (token != kNoLock) ::close(static_cast<int>(token));
}

}  // namespace vexa::platform
