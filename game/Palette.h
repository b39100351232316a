#pragma once

#include "core/Color.h"

#include <cstddef>
#include <optional>
#include <string_view>

// The colours the game draws in and the width of its lines. `standard` is
// the game as it has always looked; the others are chosen so that a player
// with a colour-vision deficiency tells the ship, the asteroids and the
// power-ups apart at a glance. Their shapes differ too, so no colour carries
// a meaning alone.
struct Palette {
    vexa::Color ship;
    vexa::Color asteroid;
    vexa::Color powerup;
    vexa::Color emblem;
    vexa::Color explosion;
    // None: the stars take the colour the last model left, as they always did.
    std::optional<vexa::Color> stars;
    vexa::Color scoreText;
    vexa::Color recordText;
    vexa::Color titleText;
    vexa::Color promptText;
    vexa::Color gameOverText;
    vexa::Color menuText;
    // Pixels of the 800 x 600 picture; grows with the picture when scaled.
    int lineWidth = 1;
};

enum class PaletteName { Standard, RedGreen, BlueYellow, HighContrast };
constexpr std::size_t kPaletteCount = 4;

const Palette& GetPalette(PaletteName name);

// The value of `palette` in the settings file: "standard", "red-green",
// "blue-yellow" or "high-contrast".
std::string_view FormatPaletteName(PaletteName name);
// The palette a settings value names, in any letter case; none for anything else.
std::optional<PaletteName> ParsePaletteName(std::string_view value);
