// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "TileKinds.h"

#include <algorithm>

namespace vornak {

TileKinds KindsOfTiles(std::string_view tiles, const std::array<bool, TileCount>& walls) {
    std::array<int, 256> cells{};
    std::array<int, 256> walled{};
    const std::size_t count = std::min<std::size_t>(tiles.size(), TileCount);
    for (std::size_t index = 0; index < count; ++index) {
        const auto character = static_cast<unsigned char>(tiles[index]);
        ++cells[character];
        walled[character] += walls[index] ? 1 : 0;
    }
    TileKinds kinds;
    for (std::size_t character = 0; character < kinds.size(); ++character) {
        const int total = cells[character];
        if (total < 3) {
            continue;
        }
        // "At most a quarter" in whole cells: 4 * exceptions <= total avoids rounding.
        if (4 * (total - walled[character]) <= total) {
            kinds[character] = true;
        } else if (4 * walled[character] <= total) {
            kinds[character] = false;
        }
    }
    return kinds;
}

}  // namespace vornak
