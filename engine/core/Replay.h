#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// A recorded run: what it was played with and the input of every fixed step.
struct Replay {
    // Of the file layout. A run at full speed is written in the first
    // version, as it always was; a slower one in the second, which adds its
    // speed, so that a game that does not know the speed refuses it by name.
    static constexpr std::uint32_t kFormatVersion = 2;
    static constexpr std::uint32_t kFullSpeedFormatVersion = 1;
    static constexpr int kFullSpeedPercent = 100;
    // Six hours at 60 steps a second; a recorder stops adding steps here, and
    // a file that claims more is refused before anything is allocated for it.
    static constexpr std::uint32_t kMaxSteps = 6u * 60u * 60u * 60u;
    // The largest file a replay of kMaxSteps steps can make (an input that
    // changes on every step), for the caller's read limit.
    // The most the game's own starting state may take.
    static constexpr std::size_t kMaxStartBytes = 4096;
    static constexpr std::size_t kMaxFileBytes =
        46u + 1u + 2u + kMaxStartBytes + 2u * std::size_t{kMaxSteps} + 8u;

    std::uint32_t rulesVersion = 0;   // the game's rules the run was played under
    std::uint32_t seed = 0;           // the random generator's seed
    std::string start;                // the game's own state at the run's start, its bytes
    std::vector<std::uint8_t> steps;  // one input byte per step, bits defined by the game
    std::int32_t score = 0;           // the score the run ended with
    std::uint64_t digest = 0;         // the final state's digest
    // The share of real time the rules ran at, in percent (1 to 100): below
    // 100 the run was an assisted one. It changes nothing the rules decide.
    int speedPercent = kFullSpeedPercent;

    bool Assisted() const { return speedPercent < kFullSpeedPercent; }

    bool operator==(const Replay& other) const {
        return rulesVersion == other.rulesVersion && seed == other.seed && start == other.start &&
               steps == other.steps && score == other.score && digest == other.digest &&
               speedPercent == other.speedPercent;
    }
    bool operator!=(const Replay& other) const { return !(*this == other); }
};

// The file form: a magic line, the format version, the fields little-endian,
// the speed as one byte when it is below full (second version only), the starting state (a varint
// length and its bytes), the steps as runs of one input byte and a varint count, and a 64-bit
// FNV-1a checksum of everything before it. Inputs change a few times a second, so a minute of play
// takes a few hundred bytes. Each replay has exactly one file form. At most kMaxSteps steps: a
// longer replay makes a file that DecodeReplay refuses.
std::string EncodeReplay(const Replay& replay);

// False with `reason` (one line, for a message: "it is cut short", "it is from
// a newer version of the file format", "its checksum does not match"...) when
// the bytes are not a replay; `replay` is then left as it was. Whatever the
// bytes, it never reads past them, allocates at most kMaxSteps bytes and takes
// time in proportion to their length. The rules version is the caller's to
// compare with its own.
bool DecodeReplay(std::string_view bytes, Replay& replay, std::string& reason);

}  // namespace vexa
