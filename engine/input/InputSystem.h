#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vexa {

// One snapshot of the keyboard and mouse buttons per frame; every query in a
// frame answers from that snapshot. Keys are SDL scancodes; buttons are
// 0 left, 1 middle, 2 right.
class InputSystem {
public:
    // Takes the first snapshot, so keys answer before the first Update.
    // Always true: nothing here can fail.
    bool Initialize();
    // Takes one event off SDL's queue (unexamined: closing the window does not
    // quit) and snapshots the keyboard and mouse buttons.
    void Update();

    // Codes outside the tables answer false.
    bool GetKeyDown(std::uint32_t scancode) const;
    bool GetMouseButtonDown(std::uint32_t button) const;

    // Test seam: sets the snapshot without a window. The mouse mask is stored
    // exactly as Update stores SDL's.
    void SetKeyDown(std::uint32_t scancode, bool down);
    void SetMouseButtons(std::uint32_t mask);
    const std::array<std::uint8_t, 3>& GetMouseButtonState() const { return m_mouseButtonState; }

private:
    std::vector<std::uint8_t> m_keyboardState;
    std::array<std::uint8_t, 3> m_mouseButtonState{};
};

extern InputSystem g_inputSystem;

}  // namespace vexa
