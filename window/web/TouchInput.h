// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <map>
#include <vector>

#include "PageLayout.h"

namespace vornak::web {

enum class TouchPhase { Start = 0, Move = 1, End = 2, Cancel = 3 };

// Turns touch points into the key-downs of the keyboard. Each touch is followed by its identifier
// from start to end, whatever it crosses: one that starts on a pad presses the arrow under it
// and, as a thumb rolls on a real d-pad, each other arrow of that pad it slides onto; one that
// starts anywhere else on the game area steers the car of the half it started in by swipes, one
// step each time it has moved 24 CSS pixels from where it last steered.
class TouchSteering {
  public:
    static constexpr double SwipeStep = 24;

    // The key-downs one touch point gives, in order.
    std::vector<int> Touch(int id, TouchPhase phase, double x, double y, const PageLayout& layout);
    // How many fingers are down.
    std::size_t Held() const { return held_.size(); }

  private:
    struct Finger {
        int car = 0;
        int pad = -1;  // the pad it started on, or -1 for a swipe
        Arrow pressed = Arrow::None;
        double originX = 0;
        double originY = 0;
    };
    std::map<int, Finger> held_;
};

// What the page read of one gamepad: the standard mapping's buttons as bits by their number, and
// the left stick, or axes 0 and 1 of another mapping.
struct PadReading {
    bool standard = false;
    unsigned buttons = 0;
    double x = 0;
    double y = 0;
};

// What a pad's press asks for: a key-down, or the button.
struct PadAction {
    int keyCode = 0;  // 0 for the button
};

// Gamepads: the pad with index 0 steers car 1, index 1 car 2. The d-pad's buttons 12 to 15 press
// their direction once per push, and so does the stick: a push begins when an axis passes 0.5
// and ends when it falls below 0.3, the larger axis winning when both pass at once. Start
// (button 9) presses the button.
class GamepadSteering {
  public:
    static constexpr unsigned StartButton = 9;
    static constexpr unsigned DpadUp = 12;

    std::vector<PadAction> Read(int index, const PadReading& reading);
    // A pad unplugged: a push it held ends.
    void Gone(int index);

  private:
    struct PadState {
        unsigned buttons = 0;
        int xPush = 0;  // -1, 0 or 1
        int yPush = 0;
    };
    std::array<PadState, 2> pads_{};
};

}  // namespace vornak::web
