#pragma once

namespace vornak {

// The Windows virtual-key code of a Qt key (arrows 37 to 40, letters 65 to 90 whatever the
// shift state), or 0 for a key that has none here.
int VirtualKeyCode(int qtKey);

// Shift 1, Ctrl 2, Alt 4, as the key-down event passes them along.
int ShiftState(int qtModifiers);

}  // namespace vornak
