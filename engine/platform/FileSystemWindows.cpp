#include "platform/FileSystem.h"

#include "platform/SystemFile.h"

#include <cstdio>
#include <cwctype>
#include <limits>
#include <new>
#include <stdexcept>

#include <windows.h>

namespace vexa::platform {

namespace {

// Virus scanners, indexers and sync clients hold a file open for a few
// milliseconds at a time; a sharing violation is worth a few more tries
// within about a tenth of a second before it counts as a failure.
constexpr int kTries = 6;
constexpr DWORD kPauseMs = 20;

bool isTransient(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

std::string describe(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "there is no such file";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program is using it";
    default:
        break;
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

HANDLE openForReading(const std::filesystem::path& path, bool patient, DWORD& error) {
    const int tries = patient ? kTries : 1;
    for (int attempt = 0;; ++attempt) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        error = GetLastError();
        if (!isTransient(error) || attempt + 1 == tries) return INVALID_HANDLE_VALUE;
        Sleep(kPauseMs);
    }
}

// Empty when the open handle is a plain file on a disk; `size` is then its size.
std::string checkOpened(HANDLE file, std::uintmax_t& size) {
    if (GetFileType(file) != FILE_TYPE_DISK) return "it is not a regular file";
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return describe(GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "it is a directory";
    size = (std::uintmax_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return {};
}

bool writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// Write-through: the call returns once the move is on the disk.
PlaceResult moveFile(const std::filesystem::path& from, const std::filesystem::path& to,
                     DWORD flags, std::string& reason) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), flags | MOVEFILE_WRITE_THROUGH)) {
            return PlaceResult::Placed;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            reason = describe(error);
            return PlaceResult::Taken;
        }
        // A file held open without delete sharing refuses the move as denied.
        const bool retry = isTransient(error) || error == ERROR_ACCESS_DENIED;
        if (!retry || attempt + 1 == kTries) {
            reason = describe(error);
            return PlaceResult::Failed;
        }
        Sleep(kPauseMs);
    }
}

}  // namespace

namespace system {

ReadStatus OpenRegularFile(const std::filesystem::path& path, bool patient, File& file,
                           std::uintmax_t& size, std::string& reason) {
    DWORD error = 0;
    const HANDLE opened = openForReading(path, patient, error);
    if (opened == INVALID_HANDLE_VALUE) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            reason = describe(error);
            return ReadStatus::Missing;
        }
        // A directory cannot be opened this way at all; say what it is.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool directory =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        reason = directory ? "it is a directory" : describe(error);
        return ReadStatus::Unreadable;
    }
    reason = checkOpened(opened, size);
    if (!reason.empty()) {
        CloseHandle(opened);
        return ReadStatus::Unreadable;
    }
    file = reinterpret_cast<File>(opened);
    return ReadStatus::Read;
}

std::ptrdiff_t ReadSome(File file, char* into, std::size_t count) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
    if (!::ReadFile(reinterpret_cast<HANDLE>(file), into, want, &got, nullptr)) return -1;
    return static_cast<std::ptrdiff_t>(got);
}

void Close(File file) {
    CloseHandle(reinterpret_cast<HANDLE>(file));
}

}  // namespace system

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes,
                  std::filesystem::perms /*mode: a Windows file has no mode bits to keep*/) {
    // CREATE_NEW refuses any existing name, so the bytes can only ever land in
    // a file made here and now.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAll(file, bytes) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

bool RewriteTextFile(const std::filesystem::path& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::uintmax_t oldSize = 0;
    bool ok = checkOpened(file, oldSize).empty();
    if (ok) {
        std::string padded = bytes;
        if (oldSize > padded.size()) padded.resize(static_cast<std::size_t>(oldSize), ' ');
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(bytes.size());
        ok = writeAll(file, padded) && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
             SetEndOfFile(file) && FlushFileBuffers(file);
    }
    return CloseHandle(file) && ok;
}

bool MoveIntoPlace(const std::filesystem::path& replacement, const std::filesystem::path& target,
                   std::string& reason) {
    return moveFile(replacement, target, MOVEFILE_REPLACE_EXISTING, reason) == PlaceResult::Placed;
}

PlaceResult PlaceNewFile(const std::filesystem::path& replacement,
                         const std::filesystem::path& target, std::string& reason) {
    return moveFile(replacement, target, 0, reason);
}

std::intptr_t TakeFileTurn(const std::filesystem::path& file, long long patienceMs) {
    // A named mutex per file, named after its full path in one case: Windows
    // compares paths without regard to case. Unlike a lock on the file, it
    // stays the same while the file is replaced and exists before the file
    // does. An owner that exits or crashes leaves it abandoned, which the
    // next one takes over.
    std::error_code ec;
    std::wstring path = std::filesystem::absolute(file, ec).lexically_normal().wstring();
    if (ec) return kNoLock;
    std::uint64_t hash = 14695981039346656037ULL;
    for (const wchar_t c : path) {
        hash = (hash ^ static_cast<std::uint64_t>(std::towlower(c))) * 1099511628211ULL;
    }
    wchar_t name[64];
    std::swprintf(name, sizeof name / sizeof name[0], L"Local\\vexa-file-%016llx",
                  static_cast<unsigned long long>(hash));
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    if (mutex == nullptr) return kNoLock;
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(patienceMs));
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        return reinterpret_cast<std::intptr_t>(mutex);
    }
    CloseHandle(mutex);
    return kNoLock;
}

void ReleaseFileTurn(std::intptr_t token) {
    if (token == kNoLock) return;
    const auto mutex = reinterpret_cast<HANDLE>(token);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace vexa::platform
