#include "File.h"

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>

#if !defined(O_BINARY)
#define O_BINARY 0
#endif

namespace vexa {

namespace {

#if defined(_WIN32)
using FileStatus = struct _stat64;

int ExamineFile(const std::filesystem::path& path, FileStatus& status) {
    return ::_wstat64(path.c_str(), &status);
}

int OpenForReading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
#else
using FileStatus = struct stat;

int ExamineFile(const std::filesystem::path& path, FileStatus& status) {
    return ::stat(path.c_str(), &status);
}

// Non-blocking, so that a FIFO put in the file's place after it was examined
// still cannot hold the open up.
int OpenForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}
#endif

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
    size = static_cast<std::size_t>(std::filesystem::file_size(path, ec));
    return !ec;
}

std::string CheckDataFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return "there is no such file";
    if (ec) return ec.message();
    if (status.type() == fs::file_type::directory) return "it is a directory";
    if (status.type() != fs::file_type::regular) return "it is not a regular file";

    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return ec.message();
    if (size > maxBytes) {
        return "it is " + std::to_string(size) + " bytes, more than the " +
               std::to_string(maxBytes) + " allowed";
    }
    return {};
}

bool ReadFile(const std::filesystem::path& path, std::string& buffer, std::uintmax_t maxBytes) {
    // Some files are read on every frame, so this costs four system calls:
    // examine, open, read, close.
    FileStatus status{};
    if (ExamineFile(path, status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return false;
        throw std::filesystem::filesystem_error("cannot examine the file", path,
                                                std::error_code(errno, std::generic_category()));
    }
    if ((status.st_mode & S_IFMT) != S_IFREG || status.st_size < 0) return false;
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size > maxBytes || size > std::numeric_limits<std::size_t>::max()) return false;

    // Read into a local so a failed read leaves the caller's buffer as it was.
    std::string contents;
    try {
        contents.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }

    const int fd = OpenForReading(path);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < contents.size()) {
        const std::size_t want = std::min<std::size_t>(contents.size() - done, 1u << 30);
        const auto chunk = ::read(fd, contents.data() + done, static_cast<unsigned>(want));
        if (chunk < 0 && errno == EINTR) continue;
        if (chunk <= 0) break;
        done += static_cast<std::size_t>(chunk);
    }
    ::close(fd);
    if (done != contents.size()) return false;

    buffer.swap(contents);
    return true;
}

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes) {
    // O_EXCL refuses any existing name, a symbolic link included, so the bytes
    // can only ever land in a file made here and now.
    const int fd = ::open(path.string().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
    if (fd < 0) return false;

    std::size_t written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        const auto chunk = ::write(fd, bytes.data() + written,
                                   static_cast<unsigned>(bytes.size() - written));
        ok = chunk > 0;
        if (ok) written += static_cast<std::size_t>(chunk);
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return ok;
}

}  // namespace vexa
