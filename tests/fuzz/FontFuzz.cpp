// Font files as the game uses them: opened at 28 points from memory, then
// every caption the game shows rendered into a texture and drawn.
#include "FuzzSupport.h"
#include "SoftwareCanvas.h"

#include "renderer/Font.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include <SDL_ttf.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::unique_ptr<testing_support::SoftwareCanvas> g_canvas;

const char* const kCaptions[] = {
    "KELD ASTEROID FIELD", "PRESS SPACE TO PLAY", "YOU GOT CAUGHT! PRESS SPACE TO PLAY AGAIN",
    "SCORE 1234567890",    "HIGH SCORE 999999",
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    fuzz_support::UseDummyDrivers();
    if (TTF_Init() != 0) std::abort();
    g_canvas = std::make_unique<testing_support::SoftwareCanvas>(800, 100);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto font = std::make_shared<vexa::Font>();
    font->Open(std::string(reinterpret_cast<const char*>(data), size), 28, "font.ttf");
    if (!font->IsOpen()) return 0;

    vexa::Text text{font};
    for (const char* caption : kCaptions) {
        text.Create(vexa::g_renderer, caption, vexa::Color{1.0f, 1.0f, 1.0f, 1.0f});
        text.Draw(vexa::g_renderer, 0, 0);
    }
    return 0;
}
