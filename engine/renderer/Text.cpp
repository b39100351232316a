#include "Text.h"

#include "Font.h"
#include "Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <utility>

namespace vexa {

Text::Text(std::shared_ptr<Font> font) : m_font{std::move(font)} {}

Text::~Text() {
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
}

void Text::Create(Renderer& renderer, const std::string& text, const Color& color) {
    const SDL_Color sdlColor{static_cast<Uint8>(Color::ToInt(color.r)),
                             static_cast<Uint8>(Color::ToInt(color.g)),
                             static_cast<Uint8>(Color::ToInt(color.b)),
                             static_cast<Uint8>(Color::ToInt(color.a))};
    // An empty font or an empty string gives no surface, and then no texture:
    // the Text simply draws nothing until a later Create succeeds.
    TTF_Font* ttfFont = m_font ? m_font->m_ttfFont : nullptr;
    SDL_Surface* surface =
        ttfFont != nullptr ? TTF_RenderText_Solid(ttfFont, text.c_str(), sdlColor) : nullptr;

    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    m_texture = surface != nullptr ? SDL_CreateTextureFromSurface(renderer.m_renderer, surface)
                                   : nullptr;
    SDL_FreeSurface(surface);
}

void Text::Draw(Renderer& renderer, int x, int y) {
    if (m_texture == nullptr) return;

    int width = 0;
    int height = 0;
    if (SDL_QueryTexture(m_texture, nullptr, nullptr, &width, &height) != 0) return;
    const SDL_Rect destination{x, y, width, height};
    SDL_RenderCopy(renderer.m_renderer, m_texture, nullptr, &destination);
}

}  // namespace vexa
