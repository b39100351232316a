#include "Font.h"

#include "core/File.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <utility>

namespace vexa {
namespace {

// Empty when the whole file is in `bytes`, otherwise why not.
std::string readFontFile(const std::string& filename, std::string& bytes) {
    const std::string problem = CheckDataFile(filename, Font::kMaxFileBytes);
    if (!problem.empty()) return problem;
    try {
        if (ReadFile(filename, bytes, Font::kMaxFileBytes)) return {};
    } catch (const std::filesystem::filesystem_error& error) {
        return error.code().message();
    }
    return "the file cannot be read";
}

void reportFailure(const std::string& name, const std::string& problem) {
    // Reported here, once; the Texts made with an empty font stay quiet.
    std::cerr << "Cannot open font " << name << ": " << problem << std::endl;
}

}  // namespace

Font::Font(const std::string& filename, int pointSize) {
    Load(filename, pointSize);
}

Font::~Font() {
    Close();
}

void Font::Load(const std::string& filename, int pointSize) {
    std::string bytes;
    const std::string problem = readFontFile(filename, bytes);
    if (!problem.empty()) {
        Close();
        reportFailure(filename, problem);
        return;
    }
    Open(std::move(bytes), pointSize, filename);
}

void Font::Open(std::string bytes, int pointSize, const std::string& name) {
    Close();
    if (bytes.size() > kMaxFileBytes) {
        reportFailure(name, "it is larger than " + std::to_string(kMaxFileBytes) + " bytes");
        return;
    }
    m_bytes = std::move(bytes);
    SDL_RWops* source = SDL_RWFromConstMem(m_bytes.data(), static_cast<int>(m_bytes.size()));
    // With freesrc set the library closes the source, even when opening fails.
    m_ttfFont = source != nullptr ? TTF_OpenFontRW(source, 1, pointSize) : nullptr;
    if (m_ttfFont == nullptr) {
        m_bytes.clear();
        m_bytes.shrink_to_fit();
        reportFailure(name, TTF_GetError());
    }
}

void Font::Close() {
    if (m_ttfFont != nullptr) TTF_CloseFont(m_ttfFont);
    m_ttfFont = nullptr;
    ++m_loads;
    m_bytes.clear();
    m_bytes.shrink_to_fit();
}

}  // namespace vexa
