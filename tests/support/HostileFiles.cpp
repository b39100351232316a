#include "HostileFiles.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <fstream>
#include <system_error>

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

}  // namespace testing_support
