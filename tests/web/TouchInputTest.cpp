// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The page on phones and tablets: the layout's zoom and places, and touches and gamepads turned
// into the keyboard's key-downs.
#include <gtest/gtest.h>

#include <cmath>

#include "PageLayout.h"
#include "TouchInput.h"

namespace vornak::web {
namespace {

using Keys = std::vector<int>;

double Device(double cssPixels, double ratio) {
    return cssPixels * ratio;
}

void ExpectWhole(double cssPixels, double ratio, const char* what) {
    EXPECT_NEAR(Device(cssPixels, ratio), std::round(Device(cssPixels, ratio)), 1e-6) << what;
}

// Each layout fits the screen less its insets, pads of at least 44 px cells included, with the
// largest whole zoom that allows it; nothing of the pads or the button covers the game's cells.
TEST(TouchLayout, TheLargestZoomAtWhichGameAndPadsFit) {
    struct Case {
        PageViewport viewport;
        int zoom;
    };
    for (const Case& c :
         {Case{{844, 390, 3}, 4}, Case{{844, 390, 3, 0, 47, 21, 47}, 3}, Case{{390, 844, 3}, 2},
          Case{{390, 844, 3, 47, 0, 34, 0}, 2}, Case{{1024, 768, 2}, 3}}) {
        const PageViewport& v = c.viewport;
        const PageLayout layout = LayOutPage(v, true);
        SCOPED_TRACE(std::to_string(v.width) + " x " + std::to_string(v.height));
        EXPECT_EQ(layout.zoom, c.zoom);
        const PageBox room{v.insetLeft, v.insetTop, v.width - v.insetLeft - v.insetRight,
                           v.height - v.insetTop - v.insetBottom};
        const PageBox playfield{layout.game.left, layout.game.top, layout.game.width * 320 / 417,
                                layout.game.height * 240 / 241};
        for (const PageBox& box : {layout.game, layout.pads[0], layout.pads[1]}) {
            EXPECT_GE(box.left, room.left - 1e-9);
            EXPECT_GE(box.top, room.top - 1e-9);
            EXPECT_LE(box.Right(), room.Right() + 1e-9);
            EXPECT_LE(box.Bottom(), room.Bottom() + 1e-9);
        }
        for (const PageBox& pad : layout.pads) {
            EXPECT_GE(pad.width, 3 * TouchTarget);
            EXPECT_FALSE(pad.Overlaps(layout.game));
            EXPECT_FALSE(pad.Overlaps(layout.runBox));
        }
        EXPECT_LT(layout.pads[1].left, layout.pads[0].left) << "car 2's pad on the left";
        EXPECT_GE(layout.runBox.width, TouchTarget);
        EXPECT_GE(layout.runBox.height, TouchTarget);
        EXPECT_FALSE(layout.runBox.Overlaps(playfield));
        ExpectWhole(layout.game.left, v.devicePixelRatio, "game left");
        ExpectWhole(layout.game.top, v.devicePixelRatio, "game top");
        ExpectWhole(layout.game.width, v.devicePixelRatio, "game width");
        const bool sideways = v.width > v.height;
        EXPECT_EQ(layout.pads[0].top >= layout.game.Bottom(), !sideways) << "upright: under it";
    }
}

// On the desktop the game keeps its place and size, centred across a wide window, its left edge
// on a whole device pixel, and the button is as the window has it.
TEST(TouchLayout, TheDesktopCentresTheGame) {
    for (const double ratio : {1.0, 1.25, 1.5, 2.0, 2.625, 3.0}) {
        const PageLayout layout = LayOutPage({1500, 700, ratio}, false);
        EXPECT_EQ(layout.zoom, static_cast<int>(std::floor(700 * ratio / 241))) << ratio;
        EXPECT_NEAR(layout.game.left + layout.game.width / 2, 750, 1 / ratio) << ratio;
        ExpectWhole(layout.game.left, ratio, "left");
        EXPECT_EQ(layout.game.top, 0);
        EXPECT_DOUBLE_EQ(layout.runBox.width, layout.runFace.width);
    }
    EXPECT_EQ(LayOutPage({300, 200, 1}, false).game.left, 0) << "never off the left edge";
}

struct Fingers {
    PageLayout layout = LayOutPage({844, 390, 3}, true);
    TouchSteering steering;

    Keys Touch(int id, TouchPhase phase, double x, double y) {
        return steering.Touch(id, phase, x, y, layout);
    }
    // The middle of an arrow's cell on a car's pad.
    std::pair<double, double> At(int car, int column, int row) const {
        const PageBox& pad = layout.pads.at(static_cast<std::size_t>(car - 1));
        return {pad.left + pad.width * (column + 0.5) / 3, pad.top + pad.height * (row + 0.5) / 3};
    }
};

// An arrow presses at once, and a thumb rolled onto another arrow of its pad presses that one;
// off its pad or on the centre it presses nothing until it comes back.
TEST(TouchSteering, PadsPressOnDownAndRollLikeAThumb) {
    Fingers f;
    auto [upX, upY] = f.At(1, 1, 0);
    EXPECT_EQ(f.Touch(1, TouchPhase::Start, upX, upY), Keys{38});
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, upX + 2, upY + 2), Keys{}) << "same arrow";
    auto [rightX, rightY] = f.At(1, 2, 1);
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, rightX, rightY), Keys{39});
    auto [centreX, centreY] = f.At(1, 1, 1);
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, centreX, centreY), Keys{});
    auto [leftX, leftY] = f.At(2, 0, 1);
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, leftX, leftY), Keys{}) << "the other car's pad";
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, rightX, rightY), Keys{39}) << "back on its pad";
    EXPECT_EQ(f.Touch(1, TouchPhase::End, rightX, rightY), Keys{});
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, upX, upY), Keys{}) << "a lifted finger is gone";
    auto [downX, downY] = f.At(2, 1, 2);
    EXPECT_EQ(f.Touch(7, TouchPhase::Start, downX, downY), Keys{'S'});
}

// A swipe steers the car of the half it started in, each time it has gone 24 px along its
// larger axis from where it last steered, whatever it crosses; two fingers steer at once.
TEST(TouchSteering, SwipesSteerTheCarOfTheirHalf) {
    Fingers f;
    const double middle = f.layout.surface.width / 2;
    const double y = f.layout.game.top + 100;
    EXPECT_EQ(f.Touch(1, TouchPhase::Start, middle + 40, y), Keys{});
    EXPECT_EQ(f.Touch(2, TouchPhase::Start, middle - 40, y), Keys{});
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, middle + 40, y - 23), Keys{});
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, middle + 50, y - 24), Keys{38});
    EXPECT_EQ(f.Touch(2, TouchPhase::Move, middle - 70, y + 5), Keys{'A'});
    EXPECT_EQ(f.Touch(1, TouchPhase::Move, middle - 100, y - 24), Keys{37})
        << "across the midline, still car 1";
    EXPECT_EQ(f.Touch(2, TouchPhase::Move, middle - 70, y + 40), Keys{'S'});
    EXPECT_EQ(f.Touch(2, TouchPhase::Cancel, middle, y + 400), Keys{}) << "a cancel is quiet";
    EXPECT_EQ(f.steering.Held(), 1U);
    EXPECT_EQ(f.Touch(1, TouchPhase::End, middle - 100, y + 10), Keys{40});
    EXPECT_EQ(f.steering.Held(), 0U);
}

PadReading Pad(unsigned buttons, double x = 0, double y = 0, bool standard = true) {
    return {standard, buttons, x, y};
}

// Pad 0 steers car 1 and pad 1 car 2: the d-pad once per push, the stick once per push past 0.5
// until it falls below 0.3, the larger axis first, and Start presses the button.
TEST(GamepadSteering, OncePerPush) {
    GamepadSteering pads;
    const unsigned up = 1U << 12;
    const unsigned right = 1U << 15;
    const unsigned start = 1U << 9;
    auto keys = [&](int index, const PadReading& reading) {
        Keys codes;
        for (const PadAction& action : pads.Read(index, reading)) {
            codes.push_back(action.keyCode);
        }
        return codes;
    };
    EXPECT_EQ(keys(0, Pad(up)), Keys{38});
    EXPECT_EQ(keys(0, Pad(up)), Keys{}) << "held";
    EXPECT_EQ(keys(0, Pad(up | right)), Keys{39});
    EXPECT_EQ(keys(1, Pad(up)), Keys{'W'});
    EXPECT_EQ(keys(1, Pad(start)), Keys{0});
    EXPECT_EQ(keys(2, Pad(up)), Keys{}) << "a third pad steers nothing";

    EXPECT_EQ(keys(0, Pad(0, 0.45, 0)), Keys{});
    EXPECT_EQ(keys(0, Pad(0, 0.6, 0)), Keys{39});
    EXPECT_EQ(keys(0, Pad(0, 0.35, 0)), Keys{}) << "still the same push";
    EXPECT_EQ(keys(0, Pad(0, 0.6, 0)), Keys{});
    EXPECT_EQ(keys(0, Pad(0, 0.2, 0)), Keys{});
    EXPECT_EQ(keys(0, Pad(0, -0.7, -0.9)), Keys{38}) << "both at once: the larger wins";
    EXPECT_EQ(keys(0, Pad(0, 0, 0)), Keys{});
    EXPECT_EQ(keys(0, Pad(up, 0.9, 0, false)), Keys{39}) << "other mappings: axes only";
    pads.Gone(0);
    EXPECT_EQ(keys(0, Pad(0, 0.9, 0)), Keys{39}) << "a pad plugged in again starts afresh";
}

}  // namespace
}  // namespace vornak::web
