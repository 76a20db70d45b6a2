// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include "KeyRules.h"

namespace vornak {

// The Windows virtual-key code of a key (arrows 37 to 40, letters 65 to 90 whatever the shift
// state), or 0 for a key that has none here. Windows decides by the layout, and so does this: on
// a Latin layout only the keys that type a to z get letter codes, so the letters follow the
// labels and punctuation steers nothing; on any other layout every letter key takes the code of
// the letter at its place on a US keyboard, whatever it types, found from its XKB key code (the
// native scan code on X11 and Wayland; 0 when unknown).
int VirtualKeyCode(int qtKey, unsigned nativeScanCode, LayoutLetters letters);

}  // namespace vornak
