#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _TTF_Font TTF_Font;  // NOLINT(bugprone-reserved-identifier): SDL_ttf's name

namespace vexa {

class Text;

// One TrueType font at one point size, shared by the Texts made with it and
// closed when the last of them lets go. A file that cannot be opened is
// reported on stderr and leaves the font empty: its Texts draw nothing.
class Font {
public:
    Font() = default;
    Font(const std::string& filename, int pointSize);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Only a regular file of at most kMaxFileBytes is read; a FIFO, a device or
    // a directory in its place is reported like a broken file.
    void Load(const std::string& filename, int pointSize);
    // Opens a font held in memory; `name` is what a failure message calls it.
    // The font keeps the bytes, since glyphs are read from them as they are drawn.
    void Open(std::string bytes, int pointSize, const std::string& name);
    bool IsOpen() const { return m_ttfFont != nullptr; }
    int GetPointSize() const { return m_pointSize; }
    // The same face at another point size, for larger text or text drawn in
    // a scaled picture (rendering it larger keeps its edges sharp). The font
    // itself at its own size; null when the font is empty or the face will
    // not open at that size. The last few sizes asked for stay open.
    TTF_Font* AtPointSize(int pointSize);
    // The face at the point size times `scale`, as AtPointSize gives it.
    TTF_Font* AtScale(float scale);
    // The point size AtScale opens the face at.
    int PointSizeAt(float scale) const;

    // Far above any Latin text face (ours is about 110 kB), below anything
    // that would strain memory.
    static constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{32} * 1024 * 1024;

    friend class Text;

private:
    void Close();

    TTF_Font* m_ttfFont = nullptr;
    std::string m_bytes;
    int m_pointSize = 0;
    // The face at other sizes, the one used last at the back. A window is one
    // size at a time and a game shows a text size or two, so a few are enough.
    struct Face {
        int pointSize = 0;
        TTF_Font* face = nullptr;
    };
    static constexpr std::size_t kMaxFaces = 4;
    std::vector<Face> m_faces;
    // Counts closes and reopens, so a Text can tell a reopened font from the one it used.
    unsigned m_loads = 0;
};

}  // namespace vexa
