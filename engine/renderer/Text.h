#pragma once

#include "core/Color.h"

#include <memory>
#include <string>

struct SDL_Texture;

namespace vexa {

class Font;
class Renderer;

// A string rendered once into a texture (solid glyphs) and drawn unscaled with
// its top-left corner at a pixel position. Each Create replaces the texture.
class Text {
public:
    explicit Text(std::shared_ptr<Font> font);
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    void Create(Renderer& renderer, const std::string& text, const Color& color);
    void Draw(Renderer& renderer, int x, int y);

    SDL_Texture* GetTexture() const { return m_texture; }

private:
    std::shared_ptr<Font> m_font;
    SDL_Texture* m_texture = nullptr;
};

}  // namespace vexa
