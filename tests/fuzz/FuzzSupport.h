#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// Shared by the fuzz targets. Each target defines LLVMFuzzerTestOneInput (and
// LLVMFuzzerInitialize when it has set-up); libFuzzer drives them in the fuzz
// build, Replay.cpp feeds them the kept inputs in the ordinary test build.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz_support {

// Millions of inputs are refused with one message each: the engine's
// messages go nowhere while a target runs. Sanitizer reports are not affected.
void SilenceStandardStreams();

// Headless SDL: dummy video and audio drivers, set before SDL starts.
void UseDummyDrivers();

// A private directory under the temp directory, made once and removed at exit.
const std::filesystem::path& ScratchDir();

// Writes `size` bytes to `path`, replacing what was there.
void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz_support
