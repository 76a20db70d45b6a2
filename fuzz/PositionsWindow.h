#pragma once

#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "GameState.h"
#include "WindowOperations.h"

namespace vornak::fuzzing {

// The least window the rules can run against: it keeps the car positions and the clock, which
// they read back, and accepts every picture without reading it. The fuzz harness, the soak test
// and the tick benchmark drive the rules through it.
class PositionsWindow : public WindowOperations {
  public:
    void SetTilePicture(int tileIndex, const std::filesystem::path& /*picture*/) override {
        if (tileIndex < 0 || tileIndex >= TileCount) {
            throw std::logic_error("the loader asked for a tile that does not exist");
        }
    }
    void SetCarPicture(int /*car*/, const std::filesystem::path& /*picture*/) override {}
    double CarLeft(int car) const override { return left.at(car); }
    double CarTop(int car) const override { return top.at(car); }
    void SetCarLeft(int car, double value) override { left.at(car) = value; }
    void SetCarTop(int car, double value) override { top.at(car) = value; }
    bool ClockEnabled() const override { return clock; }
    void SetClockEnabled(bool enabled) override { clock = enabled; }
    void SetRunCaption(const std::string& /*caption*/) override {}
    void FocusKeyReceiver() override {}

    // Indexed by car number; where the window first puts the cars.
    std::array<double, CarCount + 1> left{0, 376, 392};
    std::array<double, CarCount + 1> top{0, 40, 40};
    bool clock = false;
};

}  // namespace vornak::fuzzing
