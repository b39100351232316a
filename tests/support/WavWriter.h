#pragma once

#include <filesystem>

namespace testing_support {

// Writes a mono 16-bit PCM WAV file holding a square wave, so audio tests need
// no sound assets; `seconds` sets how long a playback keeps its channel busy.
// Returns false when the file cannot be written.
bool WriteToneWav(const std::filesystem::path& path, float seconds, int sampleRate = 22050);

}  // namespace testing_support
