#include "Palette.h"

#include <cctype>
#include <cstddef>

namespace {

vexa::Color rgb(float r, float g, float b) {
    return vexa::Color(r, g, b, 1.0f);
}

vexa::Color white() {
    return rgb(1.0f, 1.0f, 1.0f);
}

// Text stays white in every palette: white looks the same to every eye and
// stands furthest from the black field.
Palette withWhiteText(Palette palette) {
    palette.scoreText = palette.recordText = palette.titleText = white();
    palette.promptText = palette.gameOverText = palette.menuText = white();
    return palette;
}

Palette standard() {
    Palette p;
    p.ship = rgb(0.3f, 0.9f, 1.0f);
    p.asteroid = rgb(0.85f, 0.6f, 0.35f);
    p.powerup = rgb(0.3f, 1.0f, 0.4f);
    p.emblem = rgb(1.0f, 0.35f, 0.2f);
    p.explosion = white();
    return withWhiteText(p);
}

// Protan and deutan eyes lose the red-green axis: the three differ in
// lightness and along blue-yellow instead (a violet-blue ship, an amber
// asteroid, a pale ice power-up).
Palette redGreen() {
    Palette p;
    p.ship = rgb(0.6f, 0.5f, 1.0f);
    p.asteroid = rgb(1.0f, 0.6f, 0.1f);
    p.powerup = rgb(0.9f, 1.0f, 1.0f);
    p.emblem = rgb(1.0f, 0.5f, 0.2f);
    p.explosion = white();
    p.stars = rgb(0.6f, 0.6f, 0.6f);
    return withWhiteText(p);
}

// Tritan eyes lose blue-yellow and confuse cyan with green: a blue ship, an
// orange asteroid and a lime-yellow power-up stay apart on the red-green axis.
Palette blueYellow() {
    Palette p;
    p.ship = rgb(0.45f, 0.65f, 1.0f);
    p.asteroid = rgb(1.0f, 0.5f, 0.2f);
    p.powerup = rgb(0.95f, 1.0f, 0.2f);
    p.emblem = rgb(1.0f, 0.35f, 0.2f);
    p.explosion = white();
    p.stars = rgb(0.6f, 0.6f, 0.6f);
    return withWhiteText(p);
}

// Every line at full intensity and twice as thick, apart for every eye.
Palette highContrast() {
    Palette p;
    p.ship = rgb(0.35f, 0.75f, 1.0f);
    p.asteroid = rgb(1.0f, 0.65f, 0.0f);
    p.powerup = rgb(1.0f, 1.0f, 0.9f);
    p.emblem = rgb(1.0f, 0.5f, 0.2f);
    p.explosion = white();
    p.stars = rgb(0.8f, 0.8f, 0.8f);
    p.lineWidth = 2;
    return withWhiteText(p);
}

const std::string_view kNames[kPaletteCount] = {"standard", "red-green", "blue-yellow",
                                                "high-contrast"};

std::size_t indexOf(PaletteName name) {
    const auto index = static_cast<std::size_t>(name);
    return index < kPaletteCount ? index : 0;
}

bool sameWord(std::string_view value, std::string_view name) {
    if (value.size() != name.size()) return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (std::tolower(c) != name[i]) return false;
    }
    return true;
}

}  // namespace

const Palette& GetPalette(PaletteName name) {
    // Built on first use, so that a caller's own start-up may already ask.
    static const Palette palettes[kPaletteCount] = {standard(), redGreen(), blueYellow(),
                                                    highContrast()};
    return palettes[indexOf(name)];
}

std::string_view FormatPaletteName(PaletteName name) {
    return kNames[indexOf(name)];
}

std::optional<PaletteName> ParsePaletteName(std::string_view value) {
    for (std::size_t i = 0; i < kPaletteCount; ++i) {
        if (sameWord(value, kNames[i])) return static_cast<PaletteName>(i);
    }
    return std::nullopt;
}
