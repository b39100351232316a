// Line-model files: read the way the model cache reads them, then measured
// and drawn at the sizes the game uses.
#include "FuzzSupport.h"
#include "SoftwareCanvas.h"

#include "renderer/Model.h"
#include "renderer/Renderer.h"

#include <memory>

namespace {
std::unique_ptr<testing_support::SoftwareCanvas> g_canvas;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::SilenceStandardStreams();
    fuzz_support::UseDummyDrivers();
    g_canvas = std::make_unique<testing_support::SoftwareCanvas>(200, 150);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz_support::ScratchDir() / "model.txt";
    fuzz_support::WriteBytes(path, data, size);

    vexa::Model model;
    model.Load(path.string());
    model.GetRadius();
    model.Draw(vexa::g_renderer, vexa::Vector2{100.0f, 75.0f}, 0.5f, 4.0f);
    model.Draw(vexa::g_renderer, vexa::Vector2{-50.0f, 300.0f}, -2.0f, 0.25f);
    return 0;
}
