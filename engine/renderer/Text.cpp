#include "Text.h"

#include "Font.h"
#include "Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <utility>

namespace vexa {
namespace {

Uint32 packColor(const SDL_Color& color) {
    return static_cast<Uint32>(color.r) << 24 | static_cast<Uint32>(color.g) << 16 |
           static_cast<Uint32>(color.b) << 8 | color.a;
}

}  // namespace

Text::Text(std::shared_ptr<Font> font) : m_font{std::move(font)} {}

Text::~Text() {
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
}

void Text::Create(Renderer& renderer, const std::string& text, const Color& color) {
    const SDL_Color sdlColor{static_cast<Uint8>(Color::ToInt(color.r)),
                             static_cast<Uint8>(Color::ToInt(color.g)),
                             static_cast<Uint8>(Color::ToInt(color.b)),
                             static_cast<Uint8>(Color::ToInt(color.a))};
    TTF_Font* ttfFont = m_font ? m_font->m_ttfFont : nullptr;
    const unsigned fontLoads = m_font ? m_font->m_loads : 0;

    // The score lines are set every frame but change a few times a second;
    // rendering the same string again would give the very same picture.
    const Uint32 rgba = packColor(sdlColor);
    if (m_texture != nullptr && text == m_source.text && rgba == m_source.rgba &&
        ttfFont == m_source.font && fontLoads == m_source.fontLoads &&
        renderer.m_renderer == m_source.renderer) {
        return;
    }
    m_source = Source{text, rgba, ttfFont, fontLoads, renderer.m_renderer};

    // An empty font or an empty string gives no surface, and then no texture:
    // the Text simply draws nothing until a later Create succeeds.
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
