// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "FileOpener.h"
#include "GameState.h"
#include "WindowOperations.h"

namespace vornak {

inline constexpr const char* TilesMapFileName = "TilesMap.txt";
inline constexpr const char* BlocksMapFileName = "BlocksMap.txt";
inline constexpr const char* CarsFileName = "Cars.txt";

// The game creates a missing map file, empty; the level checker only reads, so it reads it as
// empty instead.
enum class MissingMapFile { CreateEmpty, ReadAsEmpty };

// Reads the three level files from programDir, opened through files, into state and puts the
// tiles and cars on screen through window. Throws GameError naming the file and the fault; the
// state is then unusable.
void LevelLoader(GameState& state, WindowOperations& window, FileOpener& files,
                 const std::filesystem::path& programDir,
                 MissingMapFile missingMapFile = MissingMapFile::CreateEmpty);

// The loader's steps, in the order it takes them; each throws GameError like the whole.
// LoadTilesMap returns how many tiles it set, LoadBlocksMap how many cells it filled.
int LoadTilesMap(WindowOperations& window, FileOpener& files,
                 const std::filesystem::path& programDir, MissingMapFile missingMapFile);
int LoadBlocksMap(GameState& state, FileOpener& files, const std::filesystem::path& programDir,
                  MissingMapFile missingMapFile);
void LoadCarsFile(GameState& state, WindowOperations& window, FileOpener& files,
                  const std::filesystem::path& programDir);
void LoadFirstCarPictures(const GameState& state, WindowOperations& window,
                          const std::filesystem::path& programDir);

// Whether a picture's name, relative to the level's folder, names a file inside it: no ".."
// between slashes or backslashes, not absolute, no drive, no NUL.
bool StaysInItsFolder(std::string_view name);

// "up, down, left or right", for messages about headings.
std::string HeadingWords();

// Whether a byte of the tile map is a tile character. Line ends and NUL take no tile.
constexpr bool IsTileCharacter(int byte) {
    return byte != '\n' && byte != '\r' && byte != '\0';
}

// "Tile" + the tile character + ".bmp". A byte above 127 is taken as Latin-1 and written in UTF-8.
std::filesystem::path TilePicturePath(const std::filesystem::path& programDir,
                                      unsigned char tileCharacter);

// The tile character whose picture a file name is: the exact inverse of TilePicturePath's name,
// "Tile", one tile character (a byte above 127 written in UTF-8), ".bmp". Nothing for any other
// name: Tile10.bmp and Tileab.bmp name no tile.
std::optional<unsigned char> TileCharacterOfPicture(std::string_view fileName);

// "Car" + the car number + the direction text + ".gif", e.g. Car1right.gif.
std::string CarPictureName(int car, const std::string& direction);
std::filesystem::path CarPicturePath(const std::filesystem::path& programDir, int car,
                                     const std::string& direction);

}  // namespace vornak
