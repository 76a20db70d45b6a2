// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Controls.h"

#include <array>
#include <string_view>

namespace vornak {

namespace {

struct SteeringKey {
    int keyCode;
    int car;
    std::string_view request;
};

constexpr std::array<SteeringKey, 8> SteeringKeys{{
    {KeyUp, 1, "up"},
    {KeyDown, 1, "down"},
    {KeyLeft, 1, "left"},
    {KeyRight, 1, "right"},
    {'W', 2, "up"},
    {'S', 2, "down"},
    {'A', 2, "left"},
    {'D', 2, "right"},
}};

}  // namespace

void picKeyReceiver_KeyDown(GameState& state, int keyCode, int /*shift*/) {
    for (const SteeringKey& key : SteeringKeys) {
        if (key.keyCode == keyCode) {
            state.CarRequest(key.car) = key.request;
            return;
        }
    }
}

void cmdRun_Click(WindowOperations& window) {
    if (window.ClockEnabled()) {
        window.SetClockEnabled(false);
        window.SetRunCaption(UnpauseCaption);
    } else {
        window.SetClockEnabled(true);
        window.SetRunCaption(PauseCaption);
    }
    window.FocusKeyReceiver();
}

void Form_GotFocus(WindowOperations& window) {
    window.FocusKeyReceiver();
}

}  // namespace vornak
