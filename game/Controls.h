// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include "GameState.h"
#include "WindowOperations.h"

namespace vornak {

inline constexpr const char* StartCaption = "Start!";
inline constexpr const char* PauseCaption = "Pause";
inline constexpr const char* UnpauseCaption = "Unpause";

// Virtual-key codes of the steering keys.
inline constexpr int KeyLeft = 37;
inline constexpr int KeyUp = 38;
inline constexpr int KeyRight = 39;
inline constexpr int KeyDown = 40;

// Sets the request of the car that the key steers. The shift state plays no part; any key that
// steers nothing changes nothing.
void picKeyReceiver_KeyDown(GameState& state, int keyCode, int shift);

// Starts, pauses or resumes the clock, then gives the keys back to the key receiver.
void cmdRun_Click(WindowOperations& window);

// The window itself got the focus: pass it on to the key receiver so the keys keep steering.
void Form_GotFocus(WindowOperations& window);

}  // namespace vornak
