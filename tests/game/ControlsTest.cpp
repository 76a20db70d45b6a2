// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include "Controls.h"
#include "RecordingWindow.h"

namespace vornak {
namespace {

using testing::RecordingWindow;

// Arrows steer car 1 and W/A/S/D car 2, whatever the shift state; other keys change nothing.
TEST(SteeringKeys, EachKeySetsItsCarsRequest) {
    struct Case {
        int keyCode;
        int car;
        const char* request;
    };
    for (const Case& key :
         {Case{38, 1, "up"}, Case{40, 1, "down"}, Case{37, 1, "left"}, Case{39, 1, "right"},
          Case{87, 2, "up"}, Case{83, 2, "down"}, Case{65, 2, "left"}, Case{68, 2, "right"}}) {
        for (const int shift : {0, 1, 2, 7}) {
            GameState state;
            state.CarRequest(3 - key.car) = "down";
            picKeyReceiver_KeyDown(state, key.keyCode, shift);
            EXPECT_EQ(state.CarRequest(key.car), key.request) << key.keyCode;
            EXPECT_EQ(state.CarRequest(3 - key.car), "down") << "the other car keeps its request";
        }
    }
    GameState state;
    picKeyReceiver_KeyDown(state, 39, 0);
    picKeyReceiver_KeyDown(state, 87, 0);
    for (const int other : {0, 13, 32, 41, 36, 119, 100, 'W' + 0x10000}) {
        picKeyReceiver_KeyDown(state, other, 0);
    }
    EXPECT_EQ(state.CarRequest(1), "right");
    EXPECT_EQ(state.CarRequest(2), "up");
}

// The button runs, pauses and resumes the clock, and always hands the keys back.
TEST(RunAndPause, ClicksCycleTheClockAndReturnTheFocus) {
    RecordingWindow window;
    const std::pair<bool, const char*> expected[] = {
        {true, "Pause"}, {false, "Unpause"}, {true, "Pause"}, {false, "Unpause"}};
    int clicks = 0;
    for (const auto& [clock, caption] : expected) {
        cmdRun_Click(window);
        ++clicks;
        EXPECT_EQ(window.clockEnabled, clock);
        EXPECT_EQ(window.caption, caption);
        EXPECT_EQ(window.focusRequests, clicks);
    }
    Form_GotFocus(window);
    EXPECT_EQ(window.focusRequests, clicks + 1);
    EXPECT_FALSE(window.clockEnabled) << "the window getting the focus leaves the clock alone";
}

}  // namespace
}  // namespace vornak
