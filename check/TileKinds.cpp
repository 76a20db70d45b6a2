// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "TileKinds.h"

#include <algorithm>

namespace vornak {

TileUses CountTileUses(std::string_view tiles, const std::array<bool, TileCount>& walls) {
    TileUses uses;
    const std::size_t count = std::min<std::size_t>(tiles.size(), TileCount);
    for (std::size_t index = 0; index < count; ++index) {
        TileUse& use = uses[static_cast<unsigned char>(tiles[index])];
        ++use.cells;
        use.walls += walls[index] ? 1 : 0;
    }
    return uses;
}

std::optional<bool> KindOf(const TileUse& use) {
    if (use.cells < 3) {
        return std::nullopt;
    }
    // "At most a quarter" in whole cells: 4 * exceptions <= cells avoids rounding.
    if (4 * (use.cells - use.walls) <= use.cells) {
        return true;
    }
    if (4 * use.walls <= use.cells) {
        return false;
    }
    return std::nullopt;
}

TileKinds KindsOfTiles(const TileUses& uses) {
    TileKinds kinds;
    std::transform(uses.begin(), uses.end(), kinds.begin(), KindOf);
    return kinds;
}

}  // namespace vornak
