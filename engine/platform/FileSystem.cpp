#include "platform/FileSystem.h"

#include "platform/SystemFile.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace vexa::platform {

namespace {

std::string tooLarge(std::uintmax_t size, std::uintmax_t maxBytes) {
    return "it is " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
           " allowed";
}

bool readAll(system::File file, std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        // A single read of more than a gigabyte fails on some systems.
        const std::size_t want =
            std::min<std::size_t>(contents.size() - done, std::size_t{1} << 30);
        const std::ptrdiff_t chunk = system::ReadSome(file, contents.data() + done, want);
        if (chunk <= 0) return false;
        done += static_cast<std::size_t>(chunk);
    }
    return true;
}

}  // namespace

ReadStatus ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes, bool patient,
                           std::string& bytes, std::string& reason) {
    system::File file{};
    std::uintmax_t size = 0;
    const ReadStatus opened = system::OpenRegularFile(path, patient, file, size, reason);
    if (opened != ReadStatus::Read) return opened;

    reason.clear();
    if (size > maxBytes || size > std::numeric_limits<std::size_t>::max()) {
        reason = tooLarge(size, maxBytes);
    }
    std::string contents;
    if (reason.empty()) {
        try {
            contents.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            reason = "there is not enough memory to read it";
        } catch (const std::length_error&) {
            reason = "there is not enough memory to read it";
        }
    }
    if (reason.empty() && !readAll(file, contents)) reason = "the file cannot be read";
    system::Close(file);
    if (!reason.empty()) return ReadStatus::Unreadable;
    bytes.swap(contents);
    return ReadStatus::Read;
}

}  // namespace vexa::platform
