// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>

namespace vornak {

// When the game clock's next tick falls due, for a system whose timer fires once after a delay
// and may fire late. Ticks keep to a fixed grid from the start, so lateness does not add up into
// a slower clock, and the ticks missed while a handler ran are dropped, never caught up: at most
// one tick is ever pending. Times are in microseconds of any steady clock.
class ClockSchedule {
  public:
    explicit ClockSchedule(std::int64_t periodMicroseconds) : period_(periodMicroseconds) {}

    // The clock was enabled at now; returns the delay until the first tick, one full period.
    std::int64_t Start(std::int64_t now);

    // A tick was delivered and handled, and it is now now; returns the delay until the next.
    std::int64_t NextAfterTick(std::int64_t now);

  private:
    std::int64_t period_;
    std::int64_t due_ = 0;
};

}  // namespace vornak
