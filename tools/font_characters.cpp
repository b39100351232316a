// Writes every character the game can draw to a file, as UTF-8 text, for the
// font subsetter (pyftsubset --text-file) that makes the browser's small font.
//   font_characters <out file>
#include "Glyphs.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: font_characters <out file>\n";
        return 2;
    }
    std::string utf8;
    for (const char c : DrawableCharacters()) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << utf8;
    if (!out.flush()) {
        std::cerr << "font_characters: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
