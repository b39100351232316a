// Runs kept fuzz inputs through a target without libFuzzer: every file named
// on the command line, and every file inside a directory named there. A crash
// or a sanitizer report fails the test; an empty directory is fine.
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
    } else if (std::filesystem::is_regular_file(path)) {
        inputs.push_back(path);
    }
    return inputs;
}

}  // namespace

int main(int argc, char* argv[]) {
    LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& input : inputsIn(argv[i])) {
            std::ifstream stream(input, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(stream),
                                    std::istreambuf_iterator<char>()};
            std::fprintf(stderr, "%s\n", input.string().c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    std::fprintf(stderr, "%d inputs ran\n", count);
    return count > 0 ? 0 : 1;
}
