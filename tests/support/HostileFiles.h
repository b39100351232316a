#pragma once

#include <cstdint>
#include <filesystem>

namespace testing_support {

// Hostile stand-ins for a data file. Each returns false where the system
// cannot make one, and the caller skips its case.

// A named pipe: opening it for reading blocks until a writer comes.
bool MakeFifo(const std::filesystem::path& path);
// A symbolic link to a device that reads without end.
bool MakeEndlessLink(const std::filesystem::path& path);
// A sparse file of `bytes` bytes that takes no disk space.
bool MakeSparseFile(const std::filesystem::path& path, std::uintmax_t bytes);

}  // namespace testing_support

namespace testing_support {

// Marks a file immutable for its lifetime: nothing may rename over, replace or
// write it, root included. Inactive where the system or the file system lacks
// the flag, or the process may not set it.
class ScopedImmutable {
public:
    explicit ScopedImmutable(std::filesystem::path path);
    ~ScopedImmutable();
    ScopedImmutable(const ScopedImmutable&) = delete;
    ScopedImmutable& operator=(const ScopedImmutable&) = delete;

    bool Active() const { return m_active; }

private:
    std::filesystem::path m_path;
    bool m_active = false;
};

}  // namespace testing_support
