// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <functional>

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

// The game clock over a system timer that fires once after a delay, as the browser's and Win32's
// do: whether it runs, when its next tick falls due, and when to arm the timer or cancel it. A
// front end only says how its timer is armed and cancelled and what time it is.
class OneShotClock {
  public:
    using Arm = std::function<void(std::int64_t delayMicroseconds)>;
    using Cancel = std::function<void()>;
    using Now = std::function<std::int64_t()>;

    OneShotClock(std::int64_t periodMicroseconds, Arm arm, Cancel cancel, Now now);

    bool Enabled() const { return enabled_; }
    // Arms the timer for one period, or cancels it; nothing when the clock is so already.
    void SetEnabled(bool enabled);
    // The timer fired: tick runs if the clock still runs, and the timer is armed for the next
    // tick if it runs after that.
    void Fired(const std::function<void()>& tick);

  private:
    ClockSchedule schedule_;
    Arm arm_;
    Cancel cancel_;
    Now now_;
    bool enabled_ = false;
};

}  // namespace vornak
