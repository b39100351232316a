#include "Text.h"

#include "Font.h"
#include "Renderer.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace vexa {
namespace {

Uint32 packColor(const SDL_Color& color) {
    return static_cast<Uint32>(color.r) << 24 | static_cast<Uint32>(color.g) << 16 |
           static_cast<Uint32>(color.b) << 8 | color.a;
}

float sizeFactor(int sizePercent) {
    return static_cast<float>(sizePercent) / 100.0f;
}

}  // namespace

Text::Text(std::shared_ptr<Font> font) : m_font{std::move(font)} {}

Text::~Text() {
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    if (m_scaledTexture != nullptr) SDL_DestroyTexture(m_scaledTexture);
}

void Text::Create(Renderer& renderer, const std::string& text, const Color& color,
                  int sizePercent) {
    const SDL_Color sdlColor{
        static_cast<Uint8>(Color::ToInt(color.r)), static_cast<Uint8>(Color::ToInt(color.g)),
        static_cast<Uint8>(Color::ToInt(color.b)), static_cast<Uint8>(Color::ToInt(color.a))};
    sizePercent = std::clamp(sizePercent, kMinSizePercent, kMaxSizePercent);
    const unsigned fontLoads = m_font ? m_font->m_loads : 0;
    const int pointSize = m_font ? m_font->PointSizeAt(sizeFactor(sizePercent)) : 0;

    // The score lines are set every frame but change a few times a second;
    // rendering the same string again would give the very same picture.
    const Uint32 rgba = packColor(sdlColor);
    if (m_texture != nullptr && text == m_source.text && rgba == m_source.rgba &&
        fontLoads == m_source.fontLoads && pointSize == m_source.pointSize &&
        renderer.m_renderer == m_source.renderer) {
        return;
    }
    m_source = Source{text, rgba, fontLoads, pointSize, sizePercent, renderer.m_renderer};
    TTF_Font* ttfFont = m_font ? m_font->AtPointSize(pointSize) : nullptr;
    // A face that will not open at that size still shows the text, at the
    // font's own size.
    if (ttfFont == nullptr && m_font) ttfFont = m_font->m_ttfFont;

    // An empty font or an empty string gives no surface, and then no texture:
    // the Text simply draws nothing until a later Create succeeds.
    SDL_Surface* surface =
        ttfFont != nullptr ? TTF_RenderText_Solid(ttfFont, text.c_str(), sdlColor) : nullptr;

    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    ++m_creations;
    m_texture =
        surface != nullptr ? SDL_CreateTextureFromSurface(renderer.m_renderer, surface) : nullptr;
    SDL_FreeSurface(surface);
}

void Text::Draw(Renderer& renderer, int x, int y) {
    if (m_texture == nullptr) return;
    const Renderer::View& view = renderer.GetView();
    if (view.scale != 1.0f) {
        DrawScaled(renderer, x, y);
        return;
    }

    int width = 0;
    int height = 0;
    if (SDL_QueryTexture(m_texture, nullptr, nullptr, &width, &height) != 0) return;
    const SDL_Rect destination{x + view.x, y + view.y, width, height};
    SDL_RenderCopy(renderer.m_renderer, m_texture, nullptr, &destination);
}

void Text::DrawScaled(Renderer& renderer, int x, int y) {
    const Renderer::View& view = renderer.GetView();
    const float scale = sizeFactor(m_source.sizePercent) * view.scale;
    const ScaledSource wanted{m_creations, m_font->m_loads, m_font->PointSizeAt(scale),
                              renderer.m_renderer};
    const bool current = m_scaledTexture != nullptr && wanted.creation == m_scaledSource.creation &&
                         wanted.fontLoads == m_scaledSource.fontLoads &&
                         wanted.pointSize == m_scaledSource.pointSize &&
                         wanted.renderer == m_scaledSource.renderer;
    if (!current) {
        TTF_Font* font = m_font->AtScale(scale);
        const std::uint32_t rgba = m_source.rgba;
        const SDL_Color color{static_cast<Uint8>(rgba >> 24), static_cast<Uint8>(rgba >> 16),
                              static_cast<Uint8>(rgba >> 8), static_cast<Uint8>(rgba)};
        SDL_Surface* surface =
            font != nullptr ? TTF_RenderText_Solid(font, m_source.text.c_str(), color) : nullptr;
        if (m_scaledTexture != nullptr) SDL_DestroyTexture(m_scaledTexture);
        m_scaledTexture = surface != nullptr
                              ? SDL_CreateTextureFromSurface(renderer.m_renderer, surface)
                              : nullptr;
        SDL_FreeSurface(surface);
        m_scaledSource = wanted;
    }

    const auto place = [&view](int coordinate, int offset) {
        return static_cast<int>(std::lround(static_cast<float>(coordinate) * view.scale)) + offset;
    };
    int width = 0;
    int height = 0;
    SDL_Texture* texture = m_scaledTexture;
    if (texture == nullptr || SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) != 0) {
        // No font at that size: the unscaled picture, stretched.
        texture = m_texture;
        if (SDL_QueryTexture(texture, nullptr, nullptr, &width, &height) != 0) return;
        width = static_cast<int>(std::lround(static_cast<float>(width) * view.scale));
        height = static_cast<int>(std::lround(static_cast<float>(height) * view.scale));
    }
    const SDL_Rect destination{place(x, view.x), place(y, view.y), width, height};
    SDL_RenderCopy(renderer.m_renderer, texture, nullptr, &destination);
}

int Text::GetWidth() const {
    int width = 0;
    if (m_texture != nullptr) SDL_QueryTexture(m_texture, nullptr, nullptr, &width, nullptr);
    return width;
}

int Text::GetHeight() const {
    int height = 0;
    if (m_texture != nullptr) SDL_QueryTexture(m_texture, nullptr, nullptr, nullptr, &height);
    return height;
}

}  // namespace vexa
