#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct Mix_Chunk;

// Sound files are checked here before the decoder sees them: the decoder
// trusts a file's header and allocates whatever size it claims.
namespace vexa::soundfile {

// Far above the game's longest sound (bgm.wav, about 0.7 MB).
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{64} * 1024 * 1024;
// The decoder converts to the mixer's rate through float stereo, so a short
// file at a low sample rate can take hundreds of times its size; no sound may
// last longer than this (about 100 MB while it is converted).
inline constexpr double kMaxDecodedSeconds = 5.0 * 60.0;

// Empty when `bytes` is a RIFF WAVE file whose every chunk up to the sample
// data fits in the file, with a format chunk of a sane sample rate (1 kHz to
// 768 kHz) and sound that lasts at most kMaxDecodedSeconds; otherwise why not,
// worded for a message.
std::string Check(std::string_view bytes);

// Checks `bytes`, then decodes them into a chunk in the open mixer's format.
// Null, with the reason in `problem`, when the check or the decoder refuses.
Mix_Chunk* Decode(const std::string& bytes, std::string& problem);

}  // namespace vexa::soundfile
