// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "MovementTick.h"

#include <cstdint>

#include "Direction.h"
#include "GameError.h"
#include "LevelLoader.h"

namespace vornak {

namespace {

// Exact comparison is the rule: positions are whole pixels and doubles hold them exactly.
bool StandsOnItsCell(const GameState& state, const WindowOperations& window, int car) {
    return window.CarLeft(car) == CellOrigin(state.CarX(car)) &&
           window.CarTop(car) == CellOrigin(state.CarY(car));
}

void Slide(const GameState& state, WindowOperations& window, int car) {
    const DirectionStep* direction = FindDirection(state.CarDirection(car));
    if (direction == nullptr) {
        return;
    }
    if (direction->columnStep != 0) {
        window.SetCarLeft(car, window.CarLeft(car) + SlideStep * direction->columnStep);
    } else {
        window.SetCarTop(car, window.CarTop(car) + SlideStep * direction->rowStep);
    }
}

}  // namespace

bool TryStartMove(GameState& state, WindowOperations& window,
                  const std::filesystem::path& programDir, int car) {
    const DirectionStep* request = FindDirection(state.CarRequest(car));
    if (request == nullptr) {
        return false;
    }
    // 64-bit so that a start at the 32-bit limits cannot overflow; past the edge counts as a wall.
    const std::int64_t targetColumn = std::int64_t{state.CarX(car)} + request->columnStep;
    const std::int64_t targetRow = std::int64_t{state.CarY(car)} + request->rowStep;
    if (!CellGrid::Contains(targetColumn, targetRow) ||
        state.Blocks(static_cast<int>(targetColumn), static_cast<int>(targetRow))) {
        return false;
    }
    // The cell being left is freed at once, so the other car may follow into it this very tick.
    // A car that starts outside the grid has no cell to free.
    if (CellGrid::Contains(state.CarX(car), state.CarY(car))) {
        state.Blocks(state.CarX(car), state.CarY(car)) = false;
    }
    state.CarMoving(car) = true;
    state.CarX(car) = static_cast<std::int32_t>(targetColumn);
    state.CarY(car) = static_cast<std::int32_t>(targetRow);
    state.CarDirection(car) = state.CarRequest(car);
    state.Blocks(state.CarX(car), state.CarY(car)) = true;
    try {
        window.SetCarPicture(car, CarPicturePath(programDir, car, state.CarDirection(car)));
    } catch (const GameError& error) {
        throw GameError(error.File(),
                        error.Reason() + "; car " + std::to_string(car) + " needs it to drive " +
                            state.CarDirection(car) +
                            ", as it needs a picture for each heading: " + HeadingWords());
    }
    return true;
}

void MovementTick(GameState& state, WindowOperations& window,
                  const std::filesystem::path& programDir) {
    for (int car = 1; car <= CarCount; ++car) {
        if (StandsOnItsCell(state, window, car)) {
            state.CarMoving(car) = false;
        }
        if (state.CarMoving(car)) {
            Slide(state, window, car);
            continue;
        }
        TryStartMove(state, window, programDir, car);
    }
}

}  // namespace vornak
