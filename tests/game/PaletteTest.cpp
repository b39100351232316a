#include "Palette.h"

#include "core/ColorVision.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using vexa::Color;
using vexa::ColorVision;

TEST(Palette, EachPaletteKeepsPlayApartForTheEyesItIsFor) {
    using V = ColorVision;
    const char* const visionNames[] = {"normal", "protan", "deutan", "tritan"};
    const std::pair<PaletteName, std::vector<V>> checks[] = {
        {PaletteName::RedGreen, {V::Normal, V::Protan, V::Deutan}},
        {PaletteName::BlueYellow, {V::Normal, V::Tritan}},
        {PaletteName::HighContrast, {V::Normal, V::Protan, V::Deutan, V::Tritan}}};
    // Compared as drawn: each channel as its byte.
    const auto differ = [](const Color& a, const Color& b, V vision) {
        const auto byte = [](float v) { return static_cast<float>(Color::ToInt(v)) / 255.0f; };
        return vexa::ColorDifference(Color(byte(a.r), byte(a.g), byte(a.b), 1),
                                     Color(byte(b.r), byte(b.g), byte(b.b), 1), vision);
    };
    const char* const what[] = {"ship",  "asteroid", "power-up", "emblem", "explosion", "stars",
                                "score", "record",   "title",    "prompt", "game over", "menu"};
    const Color black(0, 0, 0, 1);
    for (const auto& [name, visions] : checks) {
        const Palette& p = GetPalette(name);
        const Color drawn[] = {p.ship,       p.asteroid,     p.powerup,
                               p.emblem,     p.explosion,    p.stars.value_or(black),
                               p.scoreText,  p.recordText,   p.titleText,
                               p.promptText, p.gameOverText, p.menuText};
        for (const V vision : visions) {
            const std::string where = std::string(FormatPaletteName(name)) + ", " +
                                      visionNames[static_cast<int>(vision)] + " vision: ";
            // The first three are what a player must tell apart in play.
            for (std::size_t i = 0; i < 3; ++i) {
                for (std::size_t j = i + 1; j < 3; ++j) {
                    EXPECT_GE(differ(drawn[i], drawn[j], vision), 20.0)
                        << where << what[i] << " against " << what[j];
                }
            }
            for (std::size_t i = 0; i < std::size(drawn); ++i) {
                EXPECT_GE(differ(drawn[i], black, vision), 40.0) << where << what[i] << " on black";
            }
        }
        EXPECT_EQ(p.lineWidth, name == PaletteName::HighContrast ? 2 : 1);
    }
}

TEST(Palette, StandardIsTheModelsOwnColoursAndNamesReadBack) {
    const Palette& standard = GetPalette(PaletteName::Standard);
    for (const auto& [file, color] :
         {std::pair{"falcon.txt", standard.ship}, std::pair{"asteroid.txt", standard.asteroid},
          std::pair{"powerup.txt", standard.powerup}, std::pair{"empire.txt", standard.emblem}}) {
        std::ifstream stream(std::string(ZAP207_SOURCE_ASSETS) + "/" + file);
        Color read;
        stream >> read;
        EXPECT_TRUE(read.r == color.r && read.g == color.g && read.b == color.b) << file;
    }
    EXPECT_FALSE(standard.stars.has_value());
    for (std::size_t i = 0; i < kPaletteCount; ++i) {
        const auto name = static_cast<PaletteName>(i);
        EXPECT_EQ(ParsePaletteName(FormatPaletteName(name)), name);
    }
    EXPECT_EQ(ParsePaletteName("High-Contrast"), PaletteName::HighContrast);
    EXPECT_FALSE(ParsePaletteName("redgreen").has_value());
}
