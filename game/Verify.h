#pragma once

#include <filesystem>

// Plays the replay in `file` without a window or sound, as fast as it goes,
// and prints the score it reaches and the digest of its final state. Returns
// the process's exit status: 0 when the run ends as the file says it did, 1
// with one line naming the file and the reason otherwise.
int verifyReplay(const std::filesystem::path& file);
