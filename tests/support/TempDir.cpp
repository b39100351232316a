#include "TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace testing_support {

TempDir::TempDir() {
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("zap207-test-" + std::to_string(device()));
        if (std::filesystem::create_directory(m_path)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& contents) const {
    const auto path = m_path / name;
    std::ofstream stream(path, std::ios::binary);
    stream << contents;
    return path;
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& path)
    : m_previous{std::filesystem::current_path()} {
    std::filesystem::current_path(path);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

}  // namespace testing_support
