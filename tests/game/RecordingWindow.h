// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "GameError.h"
#include "GameState.h"
#include "WindowOperations.h"

namespace vornak::testing {

// The one stand-in for the real window, for the tests, the fuzz harness and the benchmarks: it
// keeps the car positions and the clock, which the rules read back, remembers the pictures the
// logic asked for, and fails on request. It never reads a picture. Long runs (the soak, the
// fuzzer, the tick benchmark) switch the remembering off.
class RecordingWindow : public WindowOperations {
  public:
    void SetTilePicture(int tileIndex, const std::filesystem::path& picture) override {
        // The loader must never ask for a tile that does not exist; that is a bug, not a level
        // fault, so it is no GameError that a caller might take in its stride.
        if (tileIndex < 0 || tileIndex >= TileCount) {
            throw std::logic_error("the loader asked for tile " + std::to_string(tileIndex));
        }
        FailIfTold(picture);
        if (recording) {
            tilePictures.emplace_back(tileIndex, picture);
        }
    }
    void SetCarPicture(int car, const std::filesystem::path& picture) override {
        FailIfTold(picture);
        if (recording) {
            carPictures.at(car) = picture;
            carPictureLoads.emplace_back(car, picture);
        }
    }
    double CarLeft(int car) const override { return carLeft.at(car); }
    double CarTop(int car) const override { return carTop.at(car); }
    void SetCarLeft(int car, double left) override { carLeft.at(car) = left; }
    void SetCarTop(int car, double top) override { carTop.at(car) = top; }
    bool ClockEnabled() const override { return clockEnabled; }
    void SetClockEnabled(bool enabled) override { clockEnabled = enabled; }
    void SetRunCaption(const std::string& text) override { caption = text; }
    void FocusKeyReceiver() override { ++focusRequests; }

    bool recording = true;
    std::set<std::filesystem::path> failingPictures;

    std::vector<std::pair<int, std::filesystem::path>> tilePictures;
    std::vector<std::pair<int, std::filesystem::path>> carPictureLoads;
    std::array<std::filesystem::path, 3> carPictures;  // indexed by car number
    std::array<double, 3> carLeft{0, 376, 392};        // where the window first puts the cars
    std::array<double, 3> carTop{0, 40, 40};
    bool clockEnabled = false;
    std::string caption = "Start!";
    int focusRequests = 0;

  private:
    void FailIfTold(const std::filesystem::path& picture) const {
        if (!failingPictures.empty() && failingPictures.count(picture) != 0) {
            throw GameError(picture, "cannot be decoded");
        }
    }
};

}  // namespace vornak::testing
