#include "FuzzSupport.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <system_error>

namespace fuzz_support {
namespace {

std::filesystem::path makeScratchDir() {
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        const auto path = base / ("zap207-fuzz-" + std::to_string(device()));
        if (std::filesystem::create_directory(path)) return path;
    }
}

void removeScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchDir(), ignored);
}

}  // namespace

void SilenceStandardStreams() {
    // Without a buffer a stream drops what it is given (and stays failed), even
    // in the final flush at exit, when a buffer of ours would be gone already.
    std::cout.rdbuf(nullptr);
    std::cerr.rdbuf(nullptr);
}

void UseDummyDrivers() {
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}

const std::filesystem::path& ScratchDir() {
    // Never destroyed: the clean-up at exit runs after the statics are gone
    // and must still be able to name the directory.
    static const std::filesystem::path* const path = [] {
        auto* made = new std::filesystem::path(makeScratchDir());
        std::atexit(removeScratchDir);
        return made;
    }();
    return *path;
}

void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace fuzz_support
