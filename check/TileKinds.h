// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "GameState.h"

namespace vornak {

// How often a level shows a tile character, and on how many of those cells there is a wall.
struct TileUse {
    int cells = 0;
    int walls = 0;
};
using TileUses = std::array<TileUse, 256>;

// tiles holds the map's characters in reading order (fewer than 300 when the map is short);
// walls[i] is the wall state of cell i.
TileUses CountTileUses(std::string_view tiles, const std::array<bool, TileCount>& walls);

// Whether a tile character is drawn for a wall (a tyre barrier) or for open ground (road, grass),
// judged from how a level uses it: a character that stands on at least 3 cells has the state
// that all but at most a quarter of them share. Fewer cells, or a split use, give no kind.
std::optional<bool> KindOf(const TileUse& use);

using TileKinds = std::array<std::optional<bool>, 256>;
TileKinds KindsOfTiles(const TileUses& uses);

}  // namespace vornak
