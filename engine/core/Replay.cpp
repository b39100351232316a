#include "Replay.h"

#include "Digest.h"
#include "LittleEndian.h"

#include <utility>

namespace vexa {
namespace {

// The magic and the format version stay where they are in every version, so
// that any later file is recognised and refused by name.
constexpr std::string_view kMagic{"ZAP207 replay\n"};
constexpr std::size_t kHeaderBytes = kMagic.size() + 4 + 4 + 4 + 4 + 8 + 4 + 4;
constexpr std::size_t kChecksumBytes = 8;
static_assert(Replay::kMaxStartBytes < (std::size_t{1} << 14),
              "the start's length fits two varint bytes");
static_assert(Replay::kMaxFileBytes == kHeaderBytes + 1u + 2u + Replay::kMaxStartBytes +
                                           std::size_t{2} * Replay::kMaxSteps + kChecksumBytes,
              "the largest file has a speed, the largest start and one two-byte run per step");

std::uint32_t formatVersion(const Replay& replay) {
    return replay.Assisted() ? Replay::kFormatVersion : Replay::kFullSpeedFormatVersion;
}

std::string encodeBody(const Replay& replay) {
    const std::string& opening = replay.start;
    const std::vector<std::uint8_t>& steps = replay.steps;
    std::string body;
    ByteWriter out(body);
    if (replay.Assisted()) out.Byte(static_cast<std::uint8_t>(replay.speedPercent));
    out.Varint(static_cast<std::uint32_t>(opening.size())).Text(opening);
    for (std::size_t start = 0; start < steps.size();) {
        std::size_t end = start + 1;
        while (end < steps.size() && steps[end] == steps[start]) ++end;
        out.Byte(steps[start]).Varint(static_cast<std::uint32_t>(end - start));
        start = end;
    }
    return body;
}

// Runs are whole (a run never follows one of the same input) and never
// empty, so that a file decodes only if it is what EncodeReplay makes.
bool decodeSteps(std::string_view body, std::uint32_t count, std::vector<std::uint8_t>& steps,
                 std::string& reason) {
    steps.reserve(count);
    ByteReader reader(body);
    int previous = -1;
    while (!reader.AtEnd()) {
        std::uint8_t input = 0;
        std::uint32_t run = 0;
        if (!reader.Byte(input) || !reader.Varint(run) || run == 0 || input == previous) {
            reason = "its step inputs are damaged";
            return false;
        }
        if (run > count - steps.size()) {
            reason = "its steps do not add up to its length";
            return false;
        }
        steps.insert(steps.end(), run, input);
        previous = input;
    }
    if (steps.size() != count) {
        reason = "its steps do not add up to its length";
        return false;
    }
    return true;
}

// The checks that need no trust in the content: what the file is, its format
// version, its length and its checksum. On success `body` is the step runs.
bool checkFrame(std::string_view bytes, std::string_view& body, std::uint32_t& version,
                std::string& reason) {
    if (bytes.empty()) {
        reason = "it is empty";
        return false;
    }
    if (bytes.substr(0, kMagic.size()) != kMagic.substr(0, bytes.size())) {
        reason = "it is not a replay file";
        return false;
    }
    if (bytes.size() < kMagic.size()) {
        reason = "it is cut short";
        return false;
    }
    ByteReader reader(bytes.substr(kMagic.size()));
    if (!reader.U32(version)) {
        reason = "it is cut short";
        return false;
    }
    if (version != Replay::kFormatVersion && version != Replay::kFullSpeedFormatVersion) {
        reason = version > Replay::kFormatVersion
                     ? "it is from a newer version of the file format"
                     : "it is from an older version of the file format";
        return false;
    }
    if (bytes.size() < kHeaderBytes) {
        reason = "it is cut short";
        return false;
    }
    ByteReader lengthReader(bytes.substr(kHeaderBytes - 4));
    std::uint32_t bodyBytes = 0;
    lengthReader.U32(bodyBytes);
    const std::uint64_t total = std::uint64_t{kHeaderBytes} + bodyBytes + kChecksumBytes;
    if (bytes.size() != total) {
        reason = bytes.size() < total ? "it is cut short" : "it has bytes after its end";
        return false;
    }
    const std::size_t checked = bytes.size() - kChecksumBytes;
    std::uint64_t checksum = 0;
    ByteReader(bytes.substr(checked)).U64(checksum);
    if (Digest().Add(bytes.substr(0, checked)).Value() != checksum) {
        reason = "its checksum does not match";
        return false;
    }
    body = bytes.substr(kHeaderBytes, bodyBytes);
    return true;
}

}  // namespace

std::string EncodeReplay(const Replay& replay) {
    const std::string body = encodeBody(replay);
    std::string bytes(kMagic);
    ByteWriter(bytes)
        .U32(formatVersion(replay))
        .U32(replay.rulesVersion)
        .U32(replay.seed)
        .U32(static_cast<std::uint32_t>(replay.score))
        .U64(replay.digest)
        .U32(static_cast<std::uint32_t>(replay.steps.size()))
        .U32(static_cast<std::uint32_t>(body.size()))
        .Text(body);
    ByteWriter(bytes).U64(Digest().Add(bytes).Value());
    return bytes;
}

bool DecodeReplay(std::string_view bytes, Replay& replay, std::string& reason) {
    std::string_view body;
    std::uint32_t version = 0;
    if (!checkFrame(bytes, body, version, reason)) return false;

    ByteReader reader(bytes.substr(kMagic.size() + 4));
    Replay decoded;
    std::uint32_t score = 0;
    std::uint32_t count = 0;
    reader.U32(decoded.rulesVersion);
    reader.U32(decoded.seed);
    reader.U32(score);
    reader.U64(decoded.digest);
    reader.U32(count);
    decoded.score = static_cast<std::int32_t>(score);
    if (count > Replay::kMaxSteps) {
        reason = "it is longer than a replay may be";
        return false;
    }
    ByteReader bodyReader(body);
    if (version == Replay::kFormatVersion) {
        // Only a slower run has this form; full speed is the first version's.
        std::uint8_t speed = 0;
        if (!bodyReader.Byte(speed) || speed == 0 || speed >= Replay::kFullSpeedPercent) {
            reason = "its game speed makes no sense";
            return false;
        }
        decoded.speedPercent = speed;
    }
    std::uint32_t startBytes = 0;
    if (!bodyReader.Varint(startBytes) || startBytes > Replay::kMaxStartBytes ||
        !bodyReader.Text(startBytes, decoded.start)) {
        reason = "its starting state is damaged";
        return false;
    }
    if (!decodeSteps(bodyReader.Rest(), count, decoded.steps, reason)) return false;
    replay = std::move(decoded);
    return true;
}

}  // namespace vexa
