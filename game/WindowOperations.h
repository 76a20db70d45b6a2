// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>

namespace vornak {

// The only way the game logic reaches the screen and the clock. The real window implements it;
// the tests use a recording fake. Car numbers are 1 and 2, tile indexes 0 to 299. Setting a
// picture reads and decodes the file at once and throws GameError when it cannot.
class WindowOperations {
  public:
    virtual ~WindowOperations() = default;

    virtual void SetTilePicture(int tileIndex, const std::filesystem::path& picture) = 0;
    virtual void SetCarPicture(int car, const std::filesystem::path& picture) = 0;
    virtual double CarLeft(int car) const = 0;
    virtual double CarTop(int car) const = 0;
    virtual void SetCarLeft(int car, double left) = 0;
    virtual void SetCarTop(int car, double top) = 0;
    virtual bool ClockEnabled() const = 0;
    virtual void SetClockEnabled(bool enabled) = 0;
    virtual void SetRunCaption(const std::string& caption) = 0;
    virtual void FocusKeyReceiver() = 0;
};

}  // namespace vornak
