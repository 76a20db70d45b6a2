// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vornak {

// The playfield and its timing are fixed by the game; nothing here is configurable.
inline constexpr int GridColumns = 20;
inline constexpr int GridRows = 15;
inline constexpr int TileCount = GridColumns * GridRows;
inline constexpr int CellSize = 16;
inline constexpr int SlideStep = 4;
inline constexpr int ClockPeriodMilliseconds = 50;
inline constexpr int CarCount = 2;

// Game data is numbered from 1 (cars 1 and 2), so the arrays are indexed the same way.
template <typename Item, int Count>
class OneBasedArray {
  public:
    Item& operator()(int index) { return items_.at(static_cast<std::size_t>(index - 1)); }
    const Item& operator()(int index) const {
        return items_.at(static_cast<std::size_t>(index - 1));
    }

  private:
    std::array<Item, Count> items_{};
};

// Walls and occupied cells, indexed (column, row) from 1. Touching a cell outside the grid is a
// bug in the caller, never a level-file problem, so it throws instead of wrapping into a
// neighbouring row.
class CellGrid {
  public:
    static constexpr bool Contains(std::int64_t column, std::int64_t row) {
        return column >= 1 && column <= GridColumns && row >= 1 && row <= GridRows;
    }

    bool& operator()(int column, int row) { return cells_[IndexOf(column, row)]; }
    bool operator()(int column, int row) const { return cells_[IndexOf(column, row)]; }

  private:
    static std::size_t IndexOf(int column, int row) {
        if (!Contains(column, row)) {
            throw std::out_of_range("cell (" + std::to_string(column) + ", " + std::to_string(row) +
                                    ") lies outside the grid");
        }
        return static_cast<std::size_t>(row - 1) * GridColumns +
               static_cast<std::size_t>(column - 1);
    }

    std::array<bool, TileCount> cells_{};
};

// Everything the game remembers between events. A car's pixel position is not here: it is the
// left and top of the car's picture, which the window owns.
struct GameState {
    CellGrid Blocks;
    OneBasedArray<std::int32_t, CarCount> CarX;
    OneBasedArray<std::int32_t, CarCount> CarY;
    OneBasedArray<std::string, CarCount> CarDirection;
    OneBasedArray<bool, CarCount> CarMoving;
    OneBasedArray<std::string, CarCount> CarRequest;
};

// Pixel origin of a cell, in doubles so that any 32-bit column or row maps exactly.
inline double CellOrigin(std::int64_t columnOrRow) {
    return static_cast<double>(CellSize) * static_cast<double>(columnOrRow - 1);
}

}  // namespace vornak
