// The text forms of the math types, "{x, y}" and "{r, g, b}", line by line (a
// colour then made into bytes as the renderer does), and
// the field splitter under them with any pair of marks. A field without a
// number is reported by the readers' documented exceptions; anything else
// escaping, or any sanitizer finding, is a fault. Every line, and the whole
// input as one field, must also read exactly as std::stof and std::stoi read it.
#include "FuzzSupport.h"
#include "ReferenceTextForm.h"

#include "core/Color.h"
#include "core/TextForm.h"
#include "core/Vector2.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// A colour read from a file is turned into bytes when it is drawn.
void use(const vexa::Color& color) {
    vexa::Color::ToInt(color.r);
    vexa::Color::ToInt(color.g);
    vexa::Color::ToInt(color.b);
}

void use(const vexa::Vector2& point) {
    point.Length();
}

template <typename T>
void readAll(const std::string& text) {
    std::istringstream stream(text);
    while (stream.peek() != std::istream::traits_type::eof()) {
        T value;
        try {
            stream >> value;
            use(value);
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {}
    }
}

void compareWithReference(const std::string& text) {
    namespace reference = testing_support::reference;
    using vexa::textform::Read;
    float value = 0.0f;
    float expected = 0.0f;
    if (vexa::textform::ReadFloat(text, value) != reference::ReadFloat(text, expected) ||
        !reference::Same(value, expected)) {
        std::abort();
    }
    int count = 0;
    int expectedCount = 0;
    if (vexa::textform::ReadInt(text, count) != reference::ReadInt(text, expectedCount) ||
        count != expectedCount) {
        std::abort();
    }
    vexa::Vector2 point;
    vexa::Vector2 expectedPoint;
    if (Read(text, point) != reference::Read(text, expectedPoint) ||
        !reference::Same(point, expectedPoint)) {
        std::abort();
    }
    vexa::Color color;
    vexa::Color expectedColor;
    if (Read(text, color) != reference::Read(text, expectedColor) ||
        !reference::Same(color, expectedColor)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    readAll<vexa::Vector2>(text);
    readAll<vexa::Color>(text);
    compareWithReference(text);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) compareWithReference(line);
    if (size >= 2) {
        const std::string line = text.substr(2, text.find('\n', 2) - 2);
        vexa::textform::Between(line, text[0], text[1]);
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}
