// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelReading.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "GameError.h"
#include "GameState.h"
#include "LevelFile.h"
#include "LevelLoader.h"
#include "Picture.h"
#include "SystemFiles.h"
#include "UnseenWindow.h"

namespace vornak::editor {

namespace {

// The tile characters of a map, by the loader's own rule, up to the 300 the grid holds. They
// come from the file's bytes, never back from picture names: a character such as '/' names no
// picture file, and reading it back from one would shift every later tile.
std::string TileCharacters(const std::filesystem::path& file) {
    std::string tiles;
    try {
        LevelFile map(SystemFiles(), file, LevelFile::WhenMissing::ReadAsEmpty);
        for (int byte = map.ReadByte(); byte >= 0 && tiles.size() < TileCount;
             byte = map.ReadByte()) {
            if (IsTileCharacter(byte)) {
                tiles += static_cast<char>(byte);
            }
        }
    } catch (const GameError&) {
        // The loader says why; what came before the fault is kept.
    }
    return tiles;
}

// A file's lines with their line ends, each as the game splits them: at LF, CR LF or a lone CR.
std::vector<std::string> LinesAsRead(const std::filesystem::path& path) {
    const std::string bytes = ReadPlainFile(path).value_or(std::string());
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        line += bytes[at];
        const bool crlf = bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n';
        if (crlf) {
            line += bytes[++at];
        }
        if (bytes[at] == '\n' || bytes[at] == '\r') {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

// The cars the game read whole, and the lines of the others kept as they were.
void ReadCars(const std::filesystem::path& folder, FolderReading& reading) {
    UnseenWindow window;
    GameState state;
    // A heading is the last of a car's lines, and no line read holds a line feed: a car whose
    // heading is still this was not read whole.
    const std::string notRead = "\n";
    for (int car = 1; car <= CarCount; ++car) {
        state.CarDirection(car) = notRead;
    }
    try {
        LoadCarsFile(state, window, SystemFiles(), folder);
    } catch (const GameError& error) {
        reading.unreadable[CarsFileName] = error.Reason();
    }
    int carsRead = 0;
    while (carsRead < CarCount && state.CarDirection(carsRead + 1) != notRead) {
        ++carsRead;
    }
    LevelContent& read = reading.content;
    for (int car = 1; car <= carsRead; ++car) {
        read.cars[static_cast<std::size_t>(car - 1)] = {state.CarX(car), state.CarY(car),
                                                        state.CarDirection(car)};
    }
    if (carsRead < CarCount) {
        const std::vector<std::string> lines = LinesAsRead(folder / CarsFileName);
        for (int car = carsRead + 1; car <= CarCount; ++car) {
            std::string kept;
            const std::size_t first = 3 * static_cast<std::size_t>(car - 1);
            const std::size_t end = car == CarCount ? lines.size() : first + 3;
            for (std::size_t line = first; line < std::min(end, lines.size()); ++line) {
                kept += lines[line];
            }
            read.unreadCarLines[static_cast<std::size_t>(car - 1)] = kept;
        }
    }
}

}  // namespace

std::optional<std::string> ReadPlainFile(const std::filesystem::path& path) {
    try {
        return ReadWholeFile(SystemFiles(), path, LargestPictureFileBytes, "a level file");
    } catch (const GameError&) {
        return std::nullopt;
    }
}

FolderReading ReadLevelFolder(const std::filesystem::path& folder) {
    FolderReading reading;
    UnseenWindow window;
    GameState state;
    try {
        LoadTilesMap(window, SystemFiles(), folder, MissingMapFile::ReadAsEmpty);
    } catch (const GameError& error) {
        reading.unreadable[TilesMapFileName] = error.Reason();
    }
    reading.content.tiles = TileCharacters(folder / TilesMapFileName);
    try {
        LoadBlocksMap(state, SystemFiles(), folder, MissingMapFile::ReadAsEmpty);
    } catch (const GameError& error) {
        reading.unreadable[BlocksMapFileName] = error.Reason();
    }
    for (int index = 0; index < TileCount; ++index) {
        reading.content.walls[static_cast<std::size_t>(index)] =
            state.Blocks(index % GridColumns + 1, index / GridColumns + 1);
    }
    ReadCars(folder, reading);
    return reading;
}

}  // namespace vornak::editor
