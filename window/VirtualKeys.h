#pragma once

namespace vornak {

// The Windows virtual-key code of a key (arrows 37 to 40, letters 65 to 90 whatever the shift
// state), or 0 for a key that has none here. A key that gives a Latin letter on the active layout
// gets that letter's code, so the letters follow QWERTZ and AZERTY labels; a key that gives none,
// as on a Cyrillic, Greek or Hebrew layout, gets the letter at its place on a US layout, found
// from its XKB key code (the native scan code on X11 and Wayland; 0 when unknown).
int VirtualKeyCode(int qtKey, unsigned nativeScanCode = 0);

// Shift 1, Ctrl 2, Alt 4, as the key-down event passes them along.
int ShiftState(int qtModifiers);

}  // namespace vornak
