// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "ClockSchedule.h"

#include <utility>

namespace vornak {

std::int64_t ClockSchedule::Start(std::int64_t now) {
    due_ = now + period_;
    return period_;
}

std::int64_t ClockSchedule::NextAfterTick(std::int64_t now) {
    due_ += period_;
    if (due_ <= now) {
        due_ += (now - due_) / period_ * period_ + period_;
    }
    return due_ - now;
}

OneShotClock::OneShotClock(std::int64_t periodMicroseconds, Arm arm, Cancel cancel, Now now)
    : schedule_(periodMicroseconds),
      arm_(std::move(arm)),
      cancel_(std::move(cancel)),
      now_(std::move(now)) {}

void OneShotClock::SetEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled) {
        arm_(schedule_.Start(now_()));
    } else {
        cancel_();
    }
}

void OneShotClock::Fired(const std::function<void()>& tick) {
    if (!enabled_) {
        return;
    }
    tick();
    if (enabled_) {
        arm_(schedule_.NextAfterTick(now_()));
    }
}

}  // namespace vornak
