#include "Font.h"

#include "core/File.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace vexa {
namespace {

// A glyph may reach this many times the point size from the pen position in
// any direction: generous for ornate faces, yet a 40-character caption stays
// within a few megabytes of texture.
constexpr int kMaxGlyphScale = 8;

// Empty when the face's line metrics and the glyph of every character a Text
// can render (Latin-1; a missing one draws the face's default glyph) are in
// proportion to the point size. A damaged face can claim glyphs thousands of
// pixels wide, and rendering one caption with it would take gigabytes.
std::string checkProportions(TTF_Font* font, int pointSize) {
    const int limit = kMaxGlyphScale * std::max(pointSize, 1);
    const auto outside = [limit](int value) { return value < -limit || value > limit; };
    const int height = TTF_FontHeight(font);
    if (height <= 0 || height > limit || outside(TTF_FontAscent(font)) ||
        outside(TTF_FontDescent(font)) || outside(TTF_FontLineSkip(font))) {
        return "its line height of " + std::to_string(height) + " px at " +
               std::to_string(pointSize) + " pt is out of all proportion";
    }
    for (Uint32 character = 0x20; character <= 0xFF; ++character) {
        int minX = 0;
        int maxX = 0;
        int minY = 0;
        int maxY = 0;
        int advance = 0;
        if (TTF_GlyphMetrics32(font, character, &minX, &maxX, &minY, &maxY, &advance) != 0) {
            continue;
        }
        if (outside(minX) || outside(maxX) || outside(minY) || outside(maxY) || outside(advance)) {
            return "the glyph of character " + std::to_string(character) +
                   " is out of all proportion to " + std::to_string(pointSize) + " pt";
        }
    }
    return {};
}

// The face in `bytes` at one point size, or null. The bytes must outlive it.
TTF_Font* openFace(const std::string& bytes, int pointSize) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    // With freesrc set the library closes the source, even when opening fails.
    return source != nullptr ? TTF_OpenFontRW(source, 1, pointSize) : nullptr;
}

// Reported here, once; the Texts made with an empty font stay quiet.
void reportFailure(const std::string& name, const std::string& problem) {
    ReportLoadFailure("font", name, problem);
}

}  // namespace

Font::Font(const std::string& filename, int pointSize) {
    Load(filename, pointSize);
}

Font::~Font() {
    Close();
}

void Font::Load(const std::string& filename, int pointSize) {
    FileContents file = ReadDataFile(filename, kMaxFileBytes);
    if (!file.Ok()) {
        Close();
        reportFailure(filename, file.reason);
        return;
    }
    Open(std::move(file.bytes), pointSize, filename);
}

void Font::Open(std::string bytes, int pointSize, const std::string& name) {
    Close();
    if (bytes.size() > kMaxFileBytes) {
        reportFailure(name, "it is larger than " + std::to_string(kMaxFileBytes) + " bytes");
        return;
    }
    m_bytes = std::move(bytes);
    m_pointSize = pointSize;
    m_ttfFont = openFace(m_bytes, pointSize);
    if (m_ttfFont == nullptr) {
        reportFailure(name, TTF_GetError());
        Close();
        return;
    }
    const std::string problem = checkProportions(m_ttfFont, pointSize);
    if (!problem.empty()) {
        reportFailure(name, problem);
        Close();
    }
}

TTF_Font* Font::AtPointSize(int pointSize) {
    if (m_ttfFont == nullptr) return nullptr;
    if (pointSize == m_pointSize) return m_ttfFont;
    const auto known = std::find_if(m_faces.begin(), m_faces.end(), [pointSize](const Face& f) {
        return f.pointSize == pointSize;
    });
    if (known != m_faces.end()) {
        std::rotate(known, known + 1, m_faces.end());
        return m_faces.back().face;
    }
    if (m_faces.size() >= kMaxFaces) {
        if (m_faces.front().face != nullptr) TTF_CloseFont(m_faces.front().face);
        m_faces.erase(m_faces.begin());
    }
    // The face passed its checks at its own size; failing at this one, it is
    // not tried again every frame, and its texts are shown from the font's
    // own size instead.
    m_faces.push_back(Face{pointSize, openFace(m_bytes, pointSize)});
    return m_faces.back().face;
}

TTF_Font* Font::AtScale(float scale) {
    return AtPointSize(PointSizeAt(scale));
}

int Font::PointSizeAt(float scale) const {
    return std::max(1, static_cast<int>(std::lround(static_cast<float>(m_pointSize) * scale)));
}

void Font::Close() {
    if (m_ttfFont != nullptr) TTF_CloseFont(m_ttfFont);
    m_ttfFont = nullptr;
    for (const Face& face : m_faces) {
        if (face.face != nullptr) TTF_CloseFont(face.face);
    }
    m_faces.clear();
    ++m_loads;
    m_bytes.clear();
    m_bytes.shrink_to_fit();
}

}  // namespace vexa
