// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "TouchInput.h"

#include <cmath>

namespace vornak::web {

namespace {

constexpr double PushBegins = 0.5;
constexpr double PushEnds = 0.3;

// Car 1's keys lie on the right of a keyboard, so car 1 is steered from the right half.
int CarOfHalf(const PageLayout& layout, double x) {
    return x >= layout.surface.left + layout.surface.width / 2 ? 1 : 2;
}

Arrow SwipeDirection(double dx, double dy) {
    if (std::abs(dx) >= std::abs(dy)) {
        return dx < 0 ? Arrow::Left : Arrow::Right;
    }
    return dy < 0 ? Arrow::Up : Arrow::Down;
}

// An axis's push, with a gap between where it begins and ends so that a resting stick's jitter
// is no push.
int Push(int was, double value) {
    if (was != 0 && std::abs(value) < PushEnds) {
        return 0;
    }
    if (was == 0 && std::abs(value) > PushBegins) {
        return value < 0 ? -1 : 1;
    }
    return was;
}

}  // namespace

std::vector<int> TouchSteering::Touch(int id, TouchPhase phase, double x, double y,
                                      const PageLayout& layout) {
    std::vector<int> keys;
    if (phase == TouchPhase::Start) {
        Finger touch;
        touch.originX = x;
        touch.originY = y;
        for (int pad = 0; pad < 2; ++pad) {
            if (layout.touch && layout.pads.at(static_cast<std::size_t>(pad)).Contains(x, y)) {
                touch.pad = pad;
                touch.car = pad + 1;
            }
        }
        if (touch.pad < 0) {
            touch.car = CarOfHalf(layout, x);
        }
        held_[id] = touch;
    }
    const auto found = held_.find(id);
    if (found == held_.end()) {
        return keys;
    }
    Finger& touch = found->second;
    if (phase == TouchPhase::Cancel) {
        held_.erase(found);
        return keys;
    }
    if (touch.pad >= 0) {
        // Off its pad, or on the cross's centre, a finger presses nothing until it comes back.
        const Arrow under = ArrowAt(layout.pads.at(static_cast<std::size_t>(touch.pad)), x, y);
        if (under != touch.pressed && under != Arrow::None) {
            keys.push_back(KeyOf(touch.car, under));
        }
        touch.pressed = under;
    } else {
        const double dx = x - touch.originX;
        const double dy = y - touch.originY;
        if (std::max(std::abs(dx), std::abs(dy)) >= SwipeStep) {
            keys.push_back(KeyOf(touch.car, SwipeDirection(dx, dy)));
            touch.originX = x;
            touch.originY = y;
        }
    }
    if (phase == TouchPhase::End) {
        held_.erase(found);
    }
    return keys;
}

std::vector<PadAction> GamepadSteering::Read(int index, const PadReading& reading) {
    std::vector<PadAction> actions;
    if (index < 0 || index > 1) {
        return actions;
    }
    const int car = index + 1;
    PadState& pad = pads_.at(static_cast<std::size_t>(index));
    const unsigned buttons = reading.standard ? reading.buttons : 0U;
    const unsigned pressed = buttons & ~pad.buttons;
    pad.buttons = buttons;
    constexpr std::array<Arrow, 4> DpadArrows{Arrow::Up, Arrow::Down, Arrow::Left, Arrow::Right};
    for (unsigned button = 0; button < DpadArrows.size(); ++button) {
        if ((pressed & (1U << (DpadUp + button))) != 0) {
            actions.push_back({KeyOf(car, DpadArrows.at(button))});
        }
    }
    const int xPush = Push(pad.xPush, reading.x);
    const int yPush = Push(pad.yPush, reading.y);
    const bool xBegins = xPush != 0 && pad.xPush == 0;
    const bool yBegins = yPush != 0 && pad.yPush == 0;
    pad.xPush = xPush;
    pad.yPush = yPush;
    if (xBegins && (!yBegins || std::abs(reading.x) >= std::abs(reading.y))) {
        actions.push_back({KeyOf(car, xPush < 0 ? Arrow::Left : Arrow::Right)});
    } else if (yBegins) {
        actions.push_back({KeyOf(car, yPush < 0 ? Arrow::Up : Arrow::Down)});
    }
    if ((pressed & (1U << StartButton)) != 0) {
        actions.push_back({0});
    }
    return actions;
}

void GamepadSteering::Gone(int index) {
    if (index >= 0 && index <= 1) {
        pads_.at(static_cast<std::size_t>(index)) = PadState{};
    }
}

}  // namespace vornak::web
