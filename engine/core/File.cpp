#include "File.h"

#include "platform/FileSystem.h"

#include <iostream>
#include <system_error>

namespace vexa {

bool SetFilePath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::current_path(path, ec);
    return !ec;
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

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes) {
    return platform::WriteNewFile(path, bytes);
}

bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes) {
    return platform::RewriteTextFile(path, bytes);
}

DirectoryLock::DirectoryLock(const std::filesystem::path& directory)
    : m_token(platform::LockDirectory(directory)) {}

DirectoryLock::~DirectoryLock() {
    platform::UnlockDirectory(m_token);
}

bool DirectoryLock::Held() const {
    return m_token != platform::kNoLock;
}

bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason) {
    return platform::MoveIntoPlace(replacement, target, reason);
}

}  // namespace vexa
