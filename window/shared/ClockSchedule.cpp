// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "ClockSchedule.h"

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

}  // namespace vornak
