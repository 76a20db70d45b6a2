// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>

#include "GameState.h"
#include "WindowOperations.h"

namespace vornak {

// One tick of the game clock: car 1 and then car 2 either slide on, or start a move toward
// their request when the target cell is free.
void MovementTick(GameState& state, WindowOperations& window,
                  const std::filesystem::path& programDir);

// Starts a move of a car at rest toward its request, if the target cell is inside the grid and
// free. Returns whether a move started.
bool TryStartMove(GameState& state, WindowOperations& window,
                  const std::filesystem::path& programDir, int car);

}  // namespace vornak
