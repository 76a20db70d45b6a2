// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vornak::fuzzing {

// How a fuzz input becomes a level: one flag byte (bit 0: no TilesMap.txt, bit 1: no
// BlocksMap.txt, bit 2: no Cars.txt), the lengths of the tile map and the blocks map as two
// little-endian 16-bit numbers, then the tile map, the blocks map, and the car file as the rest.
struct LevelFiles {
    bool hasTilesMap = true;
    bool hasBlocksMap = true;
    bool hasCars = true;
    std::string tilesMap;
    std::string blocksMap;
    std::string cars;
};

LevelFiles SplitLevelInput(const std::uint8_t* data, std::size_t size);
std::string JoinLevelInput(const LevelFiles& files);

// Writes the level into directory, loads it through the real loader and, when it loads, drives
// both cars for a while with requests taken from the input. A GameError is an expected outcome;
// anything else escapes, and so does a level file that the loader changed.
void RunLevelInput(const std::uint8_t* data, std::size_t size,
                   const std::filesystem::path& directory);

}  // namespace vornak::fuzzing
