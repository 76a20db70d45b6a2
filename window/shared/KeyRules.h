// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

namespace vornak {

// Whether the active keyboard layout types the letters a to z on its unshifted keys (QWERTY,
// QWERTZ, AZERTY, Dvorak, BÉPO) or not (Russian, Greek, Hebrew, Arabic); Unknown where the
// platform does not say. Windows numbers letter keys by it, and every front end does the same.
enum class LayoutLetters { Latin, NonLatin, Unknown };

// Shift 1, Ctrl 2, Alt 4, as the key-down event passes them along; each toolkit reads its own.
constexpr int ShiftState(bool shift, bool control, bool alt) {
    return (shift ? 1 : 0) | (control ? 2 : 0) | (alt ? 4 : 0);
}

// The key receiver's bar is lit while the keys steer, so the players can see where they are.
struct KeyBarColours {
    std::uint32_t fill;  // 0xRRGGBB
    std::uint32_t edge;
};
constexpr KeyBarColours KeyBarColoursFor(bool steering) {
    return steering ? KeyBarColours{0x3cd04a, 0x145a1c} : KeyBarColours{0x808080, 0x505050};
}

}  // namespace vornak
