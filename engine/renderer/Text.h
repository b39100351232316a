#pragma once

#include "core/Color.h"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Renderer;
struct SDL_Texture;

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

    // `sizePercent` sets the string at that share of the font's point size
    // (bounded to kMinSizePercent..kMaxSizePercent): larger text is rendered
    // from the face at the larger size, never stretched.
    void Create(Renderer& renderer, const std::string& text, const Color& color,
                int sizePercent = 100);
    static constexpr int kMinSizePercent = 50;
    static constexpr int kMaxSizePercent = 200;
    void Draw(Renderer& renderer, int x, int y);

    // Test seam: the texture drawn, null when there is nothing to draw.
    SDL_Texture* GetTexture() const { return m_texture; }
    // The unscaled size in pixels, at the size asked for; 0 x 0 when there is
    // nothing to draw.
    int GetWidth() const;
    int GetHeight() const;

private:
    // What the texture was made from. A face is told by its font's load count
    // and its point size, never by its address: a face closed and another
    // opened can share one, and the old picture would be kept.
    struct Source {
        std::string text;
        std::uint32_t rgba = 0;
        unsigned fontLoads = 0;
        int pointSize = 0;
        int sizePercent = 100;
        SDL_Renderer* renderer = nullptr;
    };

    // What the scaled texture was made from: the unscaled one's source, by
    // its count, and the face at the scaled size.
    struct ScaledSource {
        unsigned creation = 0;
        unsigned fontLoads = 0;
        int pointSize = 0;
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
