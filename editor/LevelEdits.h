// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "GameState.h"
#include "Picture.h"
#include "TileKinds.h"

namespace vornak::editor {

struct CarStart {
    std::int32_t column = 1;
    std::int32_t row = 1;
    std::string heading = "right";

    bool operator==(const CarStart&) const = default;
};

// A level as the game reads it: the tile characters in reading order (a map may hold fewer than
// 300), the walls, and the two cars' start cells and headings.
struct LevelContent {
    std::string tiles;
    std::array<bool, TileCount> walls{};
    std::array<CarStart, CarCount> cars{CarStart{1, 1, "right"}, CarStart{2, 1, "right"}};
    // A car whose lines in Cars.txt the game cannot read keeps those lines, bytes as they were,
    // until the level maker places it: saving must not invent a start the file never gave.
    std::array<std::optional<std::string>, CarCount> unreadCarLines{};

    bool operator==(const LevelContent&) const = default;
};

// A rectangle of cells, columns and rows counted from 0, both ends included.
struct CellArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // The rectangle with two cells (indices in reading order) at opposite corners.
    static CellArea Spanning(int fromCell, int toCell);
    bool operator==(const CellArea&) const = default;
};

// Copied cells: their tiles ('\0' where the map held none) and walls, row by row.
struct Clip {
    int width = 0;
    int height = 0;
    std::string tiles;
    std::vector<bool> walls;
};

// Every edit below changes content in place. Where kinds is given, each painted cell whose tile
// has a kind takes that kind as its wall state.

// Paints one cell. A map shorter than the cell is filled up to it with its most common tile, so
// that painting one far cell does not repaint everything before it with the new tile.
void PaintTile(LevelContent& content, int cell, char tile, const TileKinds* kinds);
// Paints the 4-connected cells that show the same tile as cell (or no tile) with tile.
void FillArea(LevelContent& content, int cell, char tile, const TileKinds* kinds);

Clip CopyArea(const LevelContent& content, const CellArea& area);
// Cleared cells show the tile that most free cells show, counted before clearing (a tie goes to
// the lower character code), and get no wall; with no free cell anywhere, they keep their tiles
// and only lose their walls.
void ClearArea(LevelContent& content, const CellArea& area);
// Puts clip with its top-left on (column, row), counted from 0; cells that would fall off the
// grid are left out, and cells the clip holds no tile for keep theirs.
void PasteClip(LevelContent& content, const Clip& clip, int column, int row);

inline constexpr CellArea WholeGrid{0, 0, GridColumns - 1, GridRows - 1};

// Each tile's mirror partner, by character: the tile whose picture is the exact mirror image of
// its own. A tile without one keeps its character.
using MirrorPartners = std::array<char, 256>;
MirrorPartners NoPartners();
// The partners among these tiles' pictures: a tile maps to another only when that is the one
// tile whose picture is its exact mirror image and it maps back, so that mirroring twice gives
// the level back. Two tiles of one picture, or a picture that is its own image, keep their
// characters.
MirrorPartners FindMirrorPartners(const std::map<char, Picture>& tiles, bool leftRight);

// Moves every tile, wall and car in area by whole cells; what leaves one side of the area comes
// in on the other.
// False, with nothing changed, where the tile map ends inside area and the move would need tiles
// for cells outside it.
bool ShiftArea(LevelContent& content, const CellArea& area, int columns, int rows);
// Flips area left to right (or top to bottom), each tile becoming its partner, and the headings
// of the cars in it with them.
bool MirrorArea(LevelContent& content, const CellArea& area, bool leftRight,
                const MirrorPartners& partners);
void ShiftLevel(LevelContent& content, int columns, int rows);
void MirrorLevel(LevelContent& content, bool leftRight);

}  // namespace vornak::editor
