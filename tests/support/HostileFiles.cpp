#include "HostileFiles.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif
#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <fstream>
#include <system_error>
#include <utility>

namespace testing_support {

bool MakeFifo(const std::filesystem::path& path) {
#if defined(_WIN32)
    (void)path;
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

bool MakeEndlessLink(const std::filesystem::path& path) {
    const std::filesystem::path zero{"/dev/zero"};
    std::error_code ec;
    if (!std::filesystem::exists(zero, ec)) return false;
    std::filesystem::create_symlink(zero, path, ec);
    return !ec;
}

bool MakeSparseFile(const std::filesystem::path& path, std::uintmax_t bytes) {
    { std::ofstream create(path, std::ios::binary); }
    std::error_code ec;
    std::filesystem::resize_file(path, bytes, ec);
    return !ec;
}

namespace {

// Sets or clears the immutable flag; false where that cannot be done.
bool setImmutable(const std::filesystem::path& path, bool on) {
#if defined(__linux__)
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
#else
    (void)path;
    (void)on;
    return false;
#endif
}

}  // namespace

ScopedImmutable::ScopedImmutable(std::filesystem::path path)
    : m_path(std::move(path)), m_active(setImmutable(m_path, true)) {}

ScopedImmutable::~ScopedImmutable() {
    // Left set, the file could not even be removed with its directory.
    if (m_active) setImmutable(m_path, false);
}

}  // namespace testing_support
