// Writes the game's sounds (bgm.wav, ui.wav, damage.wav) into the directory given as the
// only argument, as game/Sounds.cpp makes them: every run gives byte-identical files.
#include "Sounds.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <output directory>\n");
        return 2;
    }
    for (const char* name : kSoundFiles) {
        const std::string path = std::string(argv[1]) + "/" + name;
        const std::string bytes = MakeSoundFile(name);
        std::ofstream file(path, std::ios::binary);
        if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
