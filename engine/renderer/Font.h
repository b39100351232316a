#pragma once

#include <memory>
#include <string>

typedef struct _TTF_Font TTF_Font;

namespace vexa {

class Text;

// One TrueType font at one point size, shared by the Texts made with it and
// closed when the last of them lets go. A file that cannot be opened is
// reported on stderr and leaves the font empty: its Texts draw nothing.
class Font {
public:
    Font(const std::string& filename, int pointSize);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    void Load(const std::string& filename, int pointSize);
    bool IsOpen() const { return m_ttfFont != nullptr; }

    friend class Text;

private:
    TTF_Font* m_ttfFont = nullptr;
    // Counts Loads, so a Text can tell a reopened font from the one it used.
    unsigned m_loads = 0;
};

}  // namespace vexa
