#include "File.h"

#include <fstream>
#include <system_error>

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

bool ReadFile(const std::filesystem::path& path, std::string& buffer) {
    if (!FileExists(path)) return false;

    std::size_t size = 0;
    if (!GetFileSize(path, size)) return false;

    std::ifstream stream(path, std::ios::binary);
    if (!stream) return false;

    // Read into a local so a failed read leaves the caller's buffer as it was.
    std::string contents(size, '\0');
    stream.read(contents.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(stream.gcount()) != size) return false;

    buffer = std::move(contents);
    return true;
}

}  // namespace vexa
