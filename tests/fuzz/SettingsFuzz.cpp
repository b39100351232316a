// A settings file as a person, an editor or a crash might leave it. Whatever
// it holds, what is read from it is a set of settings the game can use, and
// writing them down and reading them again gives the same settings.
#include "FuzzSupport.h"

#include "Settings.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Settings settings;
    ParseSettings(std::string(reinterpret_cast<const char*>(data), size), settings);
    const bool volumesInSteps = settings.musicVolume % Settings::kVolumeStep == 0 &&
                                settings.effectsVolume % Settings::kVolumeStep == 0 &&
                                settings.musicVolume >= 0 && settings.musicVolume <= 100 &&
                                settings.effectsVolume >= 0 && settings.effectsVolume <= 100;
    if (!volumesInSteps) std::abort();
    for (int action = 0; action < Bindings::kKeyCount; ++action) {
        const int key = settings.bindings.keys[static_cast<std::size_t>(action)];
        if (Bindings::KeyReserved(key) || settings.bindings.KeyAction(key) != action) std::abort();
    }
    Settings again;
    if (!ParseSettings(FormatSettings(settings), again).empty() || again != settings) std::abort();
    return 0;
}
