#include "File.h"

#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>

#if !defined(O_BINARY)
#define O_BINARY 0
#endif

namespace vexa {

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
    if (!FileExists(path)) return false;
    if (!CheckDataFile(path, maxBytes).empty()) return false;

    std::size_t size = 0;
    if (!GetFileSize(path, size)) return false;

    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;

    // Read into a local so a failed read leaves the caller's buffer as it was.
    std::string contents;
    try {
        contents.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    stream.read(contents.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(stream.gcount()) != size) return false;

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
