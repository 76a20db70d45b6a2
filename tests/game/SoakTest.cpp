// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <random>

#include "Controls.h"
#include "Direction.h"
#include "MovementTick.h"
#include "RecordingWindow.h"

namespace vornak {
namespace {

// A whole number from 0 to below limit.
int Below(std::mt19937& random, int limit) {
    return static_cast<int>(random() % static_cast<unsigned>(limit));
}

std::int32_t RandomStart(std::mt19937& random, int gridSize) {
    switch (Below(random, 8)) {
        case 0:
            return std::numeric_limits<std::int32_t>::max();
        case 1:
            return std::numeric_limits<std::int32_t>::min();
        case 2:
            return Below(random, 5) - 2;  // around the near edge
        case 3:
            return gridSize + Below(random, 3);  // past the far edge
        default:
            return 1 + Below(random, gridSize);
    }
}

std::uint32_t SoakSeed() {
    if (const char* fixed = std::getenv("VORNAK_SOAK_SEED")) {
        return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 10));
    }
    return std::random_device{}();
}

// A million ticks on random walls, starts and inputs keep every movement invariant. The rules
// throw if they touch a cell outside the grid, so that is checked on every tick as well.
TEST(Soak, AMillionTicksKeepEveryInvariant) {
    constexpr long TotalTicks = 1'000'000;
    constexpr long TicksPerLevel = 5'000;
    const std::uint32_t seed = SoakSeed();
    std::cout << "soak seed " << seed << " (set VORNAK_SOAK_SEED to repeat)\n";
    std::mt19937 random(seed);
    constexpr std::array<int, 8> Keys{KeyUp, KeyDown, KeyLeft, KeyRight, 'W', 'S', 'A', 'D'};

    GameState state;
    testing::RecordingWindow window;
    window.recording = false;
    std::array<double, 3> startLeft{};
    std::array<double, 3> startTop{};
    std::array<int, 3> waitingTicks{};
    long ticks = 0;
    while (ticks < TotalTicks) {
        state = GameState{};
        const int wallsInTen = Below(random, 6);
        for (int row = 1; row <= GridRows; ++row) {
            for (int column = 1; column <= GridColumns; ++column) {
                state.Blocks(column, row) = Below(random, 10) < wallsInTen;
            }
        }
        for (int car = 1; car <= CarCount; ++car) {
            state.CarX(car) = RandomStart(random, GridColumns);
            state.CarY(car) = RandomStart(random, GridRows);
            window.carLeft.at(car) = startLeft.at(car) = CellOrigin(state.CarX(car));
            window.carTop.at(car) = startTop.at(car) = CellOrigin(state.CarY(car));
            waitingTicks.at(car) = 0;
        }
        for (long levelTick = 0; levelTick < TicksPerLevel; ++levelTick) {
            const int input = Below(random, 16);
            if (input < 4) {
                picKeyReceiver_KeyDown(
                    state, Keys.at(static_cast<std::size_t>(Below(random, Keys.size()))), 0);
            } else if (input == 4) {
                cmdRun_Click(window);
            }
            if (!window.clockEnabled) {
                continue;
            }
            ASSERT_NO_THROW(MovementTick(state, window, "/soak"))
                << "seed " << seed << " tick " << ticks;
            ++ticks;
            for (int car = 1; car <= CarCount; ++car) {
                const double left = window.carLeft.at(car);
                const double top = window.carTop.at(car);
                const double cellLeft = CellOrigin(state.CarX(car));
                const double cellTop = CellOrigin(state.CarY(car));
                ASSERT_EQ(std::fmod(left - startLeft.at(car), SlideStep), 0) << "seed " << seed;
                ASSERT_EQ(std::fmod(top - startTop.at(car), SlideStep), 0) << "seed " << seed;
                if (!state.CarMoving(car)) {
                    ASSERT_TRUE(left == cellLeft && top == cellTop)
                        << "car " << car << " at rest off its cell, seed " << seed;
                } else {
                    // Between the cell it left and the one it enters, in its own direction.
                    const DirectionStep* step = FindDirection(state.CarDirection(car));
                    ASSERT_NE(step, nullptr);
                    const double behind = step->columnStep != 0
                                              ? (cellLeft - left) * step->columnStep
                                              : (cellTop - top) * step->rowStep;
                    const double across = step->columnStep != 0 ? top - cellTop : left - cellLeft;
                    ASSERT_TRUE(behind >= 0 && behind <= CellSize && across == 0)
                        << "car " << car << " off its track, seed " << seed << " tick " << ticks;
                }
                const DirectionStep* request = FindDirection(state.CarRequest(car));
                const bool free =
                    request != nullptr &&
                    CellGrid::Contains(std::int64_t{state.CarX(car)} + request->columnStep,
                                       std::int64_t{state.CarY(car)} + request->rowStep) &&
                    !state.Blocks(state.CarX(car) + request->columnStep,
                                  state.CarY(car) + request->rowStep);
                waitingTicks.at(car) = !state.CarMoving(car) && free ? waitingTicks.at(car) + 1 : 0;
                ASSERT_LE(waitingTicks.at(car), 5)
                    << "car " << car << " waits before a free cell, seed " << seed;
            }
        }
    }
    std::cout << "soak ticks " << ticks << "\n";
    EXPECT_GE(ticks, TotalTicks);
}

}  // namespace
}  // namespace vornak
