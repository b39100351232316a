// Line-model files: read the way the model cache reads them, then measured
// and drawn at the sizes the game uses. What loads must be exactly what the
// text forms' throwing reference makes of the same lines.
#include "FuzzSupport.h"
#include "ReferenceTextForm.h"
#include "SoftwareCanvas.h"

#include "renderer/Model.h"
#include "renderer/Renderer.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::unique_ptr<testing_support::SoftwareCanvas> g_canvas;

namespace reference = testing_support::reference;
using reference::Field;

bool finite(const vexa::Color& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b);
}

bool finite(const vexa::Vector2& v) {
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// A colour line, a count line and that many point lines, every field a finite
// number; false where the model must load empty.
bool parse(const std::string& text, vexa::Color& color, std::vector<vexa::Vector2>& points) {
    std::istringstream lines(text);
    // Past the end a line is empty (std::getline would leave the last one).
    const auto next = [&lines] {
        std::string line;
        std::getline(lines, line);
        return line;
    };
    if (reference::Read(next(), color) != Field::Number || !finite(color)) return false;
    int count = 0;
    if (reference::ReadInt(next(), count) != Field::Number) return false;
    for (int i = 0; i < count; ++i) {
        if (lines.peek() == std::istringstream::traits_type::eof()) return false;
        vexa::Vector2 point;
        if (reference::Read(next(), point) != Field::Number || !finite(point)) return false;
        points.push_back(point);
    }
    return true;
}

void compareWithReference(const std::uint8_t* data, std::size_t size, vexa::Model& model) {
    vexa::Color color;
    std::vector<vexa::Vector2> points;
    if (!parse(std::string(reinterpret_cast<const char*>(data), size), color, points)) {
        if (!model.GetPoints().empty() || !reference::Same(model.GetColor(), vexa::Color()))
            std::abort();
        return;
    }
    if (!reference::Same(model.GetColor(), color) || model.GetPoints().size() != points.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!reference::Same(model.GetPoints()[i], points[i])) std::abort();
    }
}

}  // namespace

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
    compareWithReference(data, size, model);
    model.GetRadius();
    model.Draw(vexa::g_renderer, vexa::Vector2{100.0f, 75.0f}, 0.5f, 4.0f);
    model.Draw(vexa::g_renderer, vexa::Vector2{-50.0f, 300.0f}, -2.0f, 0.25f);
    return 0;
}
