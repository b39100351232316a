#include "FuzzSupport.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <streambuf>
#include <system_error>

namespace fuzz_support {
namespace {

class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

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
    static NullBuffer nothing;
    std::cout.rdbuf(&nothing);
    std::cerr.rdbuf(&nothing);
}

void UseDummyDrivers() {
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
}

const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path path = [] {
        auto made = makeScratchDir();
        std::atexit(removeScratchDir);
        return made;
    }();
    return path;
}

void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace fuzz_support
