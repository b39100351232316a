// The browser's font, cut down to the characters the game can draw, against
// the whole face the desktop draws with.
#include "Glyphs.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

#ifdef ZAP207_WEB_FONT
constexpr const char* kWebFont = ZAP207_WEB_FONT;
#else
constexpr const char* kWebFont = nullptr;
#endif

struct TtfLibrary {
    TtfLibrary() { EXPECT_EQ(TTF_Init(), 0) << TTF_GetError(); }
    ~TtfLibrary() { TTF_Quit(); }
};

using FontPtr = std::unique_ptr<TTF_Font, decltype(&TTF_CloseFont)>;
using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

FontPtr openFont(const std::string& path, int pointSize) {
    return FontPtr(TTF_OpenFont(path.c_str(), pointSize), &TTF_CloseFont);
}

// Each row's pixels, without the padding after them.
std::string pixels(const SDL_Surface& surface) {
    std::string bytes;
    const auto* row = static_cast<const char*>(surface.pixels);
    for (int y = 0; y < surface.h; ++y, row += surface.pitch) {
        bytes.append(row, static_cast<std::size_t>(surface.w * surface.format->BytesPerPixel));
    }
    return bytes;
}

}  // namespace

TEST(FontSubset, DrawsEveryCharacterTheGameCanDrawAsTheWholeFaceDoes) {
    if (kWebFont == nullptr) GTEST_SKIP() << "pyftsubset is missing: install python3-fonttools";
    const TtfLibrary ttf;
    const std::string whole = (std::filesystem::path(ZAP207_SOURCE_ASSETS) / "font.ttf").string();
    const std::string characters = DrawableCharacters();
    ASSERT_GE(characters.size(), 95u);
    // Every size a caption can take, from the smallest text size in a small
    // window to the largest in a big one; the game draws one bit a pixel.
    for (int size = 6; size <= 64; ++size) {
        const FontPtr small = openFont(kWebFont, size);
        const FontPtr full = openFont(whole, size);
        ASSERT_TRUE(small && full) << TTF_GetError();
        EXPECT_EQ(TTF_FontHeight(small.get()), TTF_FontHeight(full.get()));
        EXPECT_EQ(TTF_FontAscent(small.get()), TTF_FontAscent(full.get()));
        EXPECT_EQ(TTF_FontLineSkip(small.get()), TTF_FontLineSkip(full.get()));
        for (const char c : characters) {
            const auto code = static_cast<unsigned char>(c);
            ASSERT_NE(TTF_GlyphIsProvided32(small.get(), code), 0) << "character " << int{code};
        }
        // Captions of a few dozen characters, as the game's are, so kerning
        // between neighbours shows too.
        const SDL_Color white{255, 255, 255, 255};
        for (std::size_t from = 0; from < characters.size(); from += 24) {
            const std::string caption = characters.substr(from, 24);
            const SurfacePtr a(TTF_RenderText_Solid(small.get(), caption.c_str(), white),
                               &SDL_FreeSurface);
            const SurfacePtr b(TTF_RenderText_Solid(full.get(), caption.c_str(), white),
                               &SDL_FreeSurface);
            ASSERT_TRUE(a && b) << TTF_GetError();
            ASSERT_EQ(a->w, b->w) << size << " pt: " << caption;
            ASSERT_EQ(a->h, b->h) << size << " pt: " << caption;
            ASSERT_TRUE(pixels(*a) == pixels(*b)) << size << " pt: " << caption;
        }
    }
}

// The game's texts are drawn from the Latin-1 bytes of its sources: a
// character outside printable ASCII there would be missing from the cut-down
// font unless it were listed among the drawable ones.
TEST(FontSubset, TheGameWritesItsTextsInPrintableAscii) {
    const std::filesystem::path root = std::filesystem::path(ZAP207_SOURCE_ASSETS).parent_path();
    const std::string characters = DrawableCharacters();
    int files = 0;
    for (const char* dir : {"game", "engine"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / dir)) {
            const auto extension = entry.path().extension();
            if (extension != ".cpp" && extension != ".h") continue;
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                const auto code = line.find_first_not_of(" \t");
                if (code == std::string::npos || line.compare(code, 2, "//") == 0 ||
                    line.compare(code, 1, "*") == 0 || line.compare(code, 2, "/*") == 0) {
                    continue;
                }
                for (const char c : line.substr(0, line.find("//"))) {
                    EXPECT_NE(characters.find(c), std::string::npos)
                        << entry.path() << ":" << number << " has byte "
                        << int{static_cast<unsigned char>(c)};
                }
            }
        }
    }
    EXPECT_GT(files, 50);
}
