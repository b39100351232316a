// Replay files as a damaged disk, an old build or a hostile sender may hand
// them over. Decoding either refuses with one line or gives the one replay the
// file is the form of, so encoding that replay again gives back the same
// bytes. Each input is also tried with its checksum made good, so that the
// header fields and step runs behind the checksum are explored too.
#include "FuzzSupport.h"

#include "core/Digest.h"
#include "core/Replay.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kChecksumBytes = 8;

void check(std::string_view bytes) {
    vexa::Replay replay;
    std::string reason;
    if (vexa::DecodeReplay(bytes, replay, reason)) {
        if (replay.steps.size() > vexa::Replay::kMaxSteps) std::abort();
        if (vexa::EncodeReplay(replay) != bytes) std::abort();
    } else if (reason.empty() || reason.find('\n') != std::string::npos) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    if (size < kChecksumBytes) return 0;
    std::string sealed(bytes.substr(0, size - kChecksumBytes));
    const std::uint64_t checksum = vexa::Digest().Add(sealed).Value();
    for (int shift = 0; shift < 64; shift += 8)
        sealed.push_back(static_cast<char>(checksum >> shift));
    check(sealed);
    return 0;
}
