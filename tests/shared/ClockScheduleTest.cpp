// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vornak
