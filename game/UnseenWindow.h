// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>

#include "GameState.h"
#include "WindowOperations.h"

namespace vornak {

// A window that nobody sees, for reading a level without playing it (the checker, the editor):
// the cars keep their places, and pictures, the clock and focus are ignored unless a reader
// overrides them to look at the pictures a level asks for.
class UnseenWindow : public WindowOperations {
  public:
    void SetTilePicture(int /*tileIndex*/, const std::filesystem::path& /*picture*/) override {}
    void SetCarPicture(int /*car*/, const std::filesystem::path& /*picture*/) override {}
    double CarLeft(int car) const override { return left_.at(static_cast<std::size_t>(car)); }
    double CarTop(int car) const override { return top_.at(static_cast<std::size_t>(car)); }
    void SetCarLeft(int car, double left) override {
        left_.at(static_cast<std::size_t>(car)) = left;
    }
    void SetCarTop(int car, double top) override { top_.at(static_cast<std::size_t>(car)) = top; }
    bool ClockEnabled() const override { return false; }
    void SetClockEnabled(bool /*enabled*/) override {}
    void SetRunCaption(const std::string& /*caption*/) override {}
    void FocusKeyReceiver() override {}

  private:
    std::array<double, CarCount + 1> left_{};
    std::array<double, CarCount + 1> top_{};
};

}  // namespace vornak
