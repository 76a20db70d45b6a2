// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <vector>

#include "ClockSchedule.h"

namespace vornak {
namespace {

constexpr std::int64_t Period = 50000;

// Ticks keep to a 50 ms grid from the start: a late tick makes the next delay shorter, so the
// clock does not slow down by the system timer's lateness.
TEST(ClockSchedule, LatenessDoesNotAddUp) {
    ClockSchedule schedule(Period);
    EXPECT_EQ(schedule.Start(1000), Period);
    EXPECT_EQ(schedule.NextAfterTick(1000 + Period + 1500), Period - 1500);
    EXPECT_EQ(schedule.NextAfterTick(1000 + 2 * Period + 900), Period - 900);
    EXPECT_EQ(schedule.NextAfterTick(1000 + 3 * Period - 200), Period + 200) << "an early tick";
}

// After a handler that ran 200 ms, the ticks missed meanwhile are dropped, never caught up in a
// burst: the next tick comes at the next point of the grid.
TEST(ClockSchedule, MissedTicksAreDroppedNotCaughtUp) {
    ClockSchedule schedule(Period);
    schedule.Start(0);
    const std::int64_t delay = schedule.NextAfterTick(Period + 200000 + 10000);
    EXPECT_EQ(delay, 40000);
    EXPECT_EQ(schedule.NextAfterTick(Period + 250000), Period);
}

// The clock arms its timer for one period when it starts and cancels it when it stops; a timer
// that fires after a stop, or after the tick itself stopped the clock, ticks and re-arms nothing.
TEST(OneShotClock, ArmsAndCancelsItsTimer) {
    std::int64_t now = 1000;
    std::vector<std::int64_t> armed;
    int cancelled = 0;
    OneShotClock clock(
        Period, [&armed](std::int64_t delay) { armed.push_back(delay); },
        [&cancelled] { ++cancelled; }, [&now] { return now; });
    int ticks = 0;
    const auto tick = [&ticks] { ++ticks; };
    clock.SetEnabled(true);
    clock.SetEnabled(true);
    EXPECT_EQ(armed, std::vector<std::int64_t>{Period});
    now += Period + 1500;
    clock.Fired(tick);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(armed.back(), Period - 1500);
    clock.Fired([&clock] { clock.SetEnabled(false); });
    EXPECT_EQ(armed.size(), 2U) << "a tick that stops the clock arms nothing";
    EXPECT_EQ(cancelled, 1);
    clock.Fired(tick);
    EXPECT_EQ(ticks, 1) << "a stopped clock does not tick";
}

}  // namespace
}  // namespace vornak
