#pragma once

#include "core/Color.h"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Renderer;
struct SDL_Texture;
typedef struct _TTF_Font TTF_Font;  // NOLINT(bugprone-reserved-identifier): SDL_ttf's name

namespace vexa {

class Font;
class Renderer;

// A string rendered once into a texture (solid glyphs) and drawn with its
// top-left corner at a pixel position of the picture. Each Create replaces the
// texture, unless it asks for exactly the picture already held: then the
// texture stays. In a scaled picture the string is rendered again with the
// font at the scaled size, once per string and scale.
class Text {
public:
    explicit Text(std::shared_ptr<Font> font);
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    void Create(Renderer& renderer, const std::string& text, const Color& color);
    void Draw(Renderer& renderer, int x, int y);

    // Test seam: the texture drawn, null when there is nothing to draw.
    SDL_Texture* GetTexture() const { return m_texture; }
    // The unscaled size in pixels; 0 x 0 when there is nothing to draw.
    int GetWidth() const;
    int GetHeight() const;

private:
    // What the texture was made from.
    struct Source {
        std::string text;
        std::uint32_t rgba = 0;
        TTF_Font* font = nullptr;
        unsigned fontLoads = 0;
        SDL_Renderer* renderer = nullptr;
    };

    // What the scaled texture was made from.
    struct ScaledSource {
        unsigned creation = 0;
        TTF_Font* font = nullptr;
        SDL_Renderer* renderer = nullptr;
    };

    void DrawScaled(Renderer& renderer, int x, int y);

    std::shared_ptr<Font> m_font;
    SDL_Texture* m_texture = nullptr;
    Source m_source;
    // Counts the textures made, so the scaled one can tell it is out of date.
    unsigned m_creations = 0;
    SDL_Texture* m_scaledTexture = nullptr;
    ScaledSource m_scaledSource;
};

}  // namespace vexa
