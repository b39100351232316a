#include "Font.h"

#include <SDL_ttf.h>

#include <iostream>

namespace vexa {

Font::Font(const std::string& filename, int pointSize) {
    Load(filename, pointSize);
}

Font::~Font() {
    if (m_ttfFont != nullptr) TTF_CloseFont(m_ttfFont);
}

void Font::Load(const std::string& filename, int pointSize) {
    if (m_ttfFont != nullptr) TTF_CloseFont(m_ttfFont);
    m_ttfFont = TTF_OpenFont(filename.c_str(), pointSize);
    ++m_loads;
    // Reported here, once; the Texts made with an empty font stay quiet.
    if (m_ttfFont == nullptr) {
        std::cerr << "Cannot open font " << filename << ": " << TTF_GetError() << std::endl;
    }
}

}  // namespace vexa
