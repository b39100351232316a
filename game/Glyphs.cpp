#include "Glyphs.h"

#include "Controls.h"
#include "input/InputSystem.h"

#include <bitset>

std::string DrawableCharacters() {
    std::bitset<256> used;
    for (int c = 0x20; c < 0x7F; ++c) used.set(static_cast<std::size_t>(c));
    const auto add = [&used](const std::string& text) {
        for (const char c : text) used.set(static_cast<unsigned char>(c));
    };
    for (int scancode = 0; scancode < vexa::InputSystem::kScancodes; ++scancode) {
        add(KeyLabel(scancode));
    }
    for (int button = 0; button < vexa::InputSystem::kControllerButtons; ++button) {
        add(ButtonLabel(button));
    }
    std::string characters;
    for (std::size_t c = 0; c < used.size(); ++c) {
        if (used.test(c)) characters.push_back(static_cast<char>(c));
    }
    return characters;
}
