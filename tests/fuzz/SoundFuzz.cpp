// Sound files as the audio system loads them: checked, then decoded by the
// mixer into the format of an open (dummy) device, then released.
#include "FuzzSupport.h"

#include "audio/AudioSystem.h"
#include "audio/SoundFile.h"

#include <SDL_mixer.h>

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    fuzz_support::UseDummyDrivers();
    vexa::g_audioSystem.Initialize();
    if (!vexa::g_audioSystem.IsOpen()) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string problem;
    Mix_Chunk* chunk = vexa::soundfile::Decode(bytes, problem);
    // A refusal always says why; a decoded sound never does.
    if ((chunk == nullptr) == problem.empty()) std::abort();
    Mix_FreeChunk(chunk);
    return 0;
}
