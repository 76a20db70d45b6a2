// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "FileOpener.h"

namespace vornak {

struct Diagnostic {
    enum class Severity { Warning, Error };

    std::filesystem::path file;
    int line = 1;
    int column = 1;
    Severity severity = Severity::Error;
    std::string message;
    // The cell a map finding is about, counted in reading order from 0, where its place in the
    // file cannot say (a cell past the file's end); -1 otherwise.
    int cell = -1;
};

// Reads the level in folder with the game's own loading code, without creating or writing any
// file, and says what would stop the game (errors) and what a level maker hardly ever means
// (warnings), in the order the game meets them.
std::vector<Diagnostic> CheckLevel(const std::filesystem::path& folder);

// A level as the checker reads it: its files through an opener (on disk, or held in memory by
// the editor), and the names its folder holds.
struct LevelSource {
    std::filesystem::path folder;       // the level's folder, as the opener names its files
    std::filesystem::path shownFolder;  // the folder as findings name it
    FileOpener& files;
    std::vector<std::filesystem::path> names;
    std::string whyNotWritable;  // why the game could not create a missing map; empty if it can
};
std::vector<Diagnostic> CheckLevel(const LevelSource& source);

// Where a cell's byte stands in a map file, counted as the loader counts.
struct Place {
    int line = 1;
    int column = 1;
};
// A tile character of the map and where it stands.
struct TileAt {
    unsigned char character = 0;
    Place place;
};
// Each cell of a map in reading order, with its place: the tiles of a tile map, and the cells of
// a blocks map. Throw GameError where the loader would.
std::vector<TileAt> TilePlaces(FileOpener& files, const std::filesystem::path& tilesMap);
std::vector<Place> BlockPlaces(FileOpener& files, const std::filesystem::path& blocksMap);

// "FILE:LINE:COLUMN: error: message", the form that editors jump from.
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// 0 for a clean level, 1 when there are only warnings, 2 when there is an error.
int ExitStatusFor(const std::vector<Diagnostic>& diagnostics);

}  // namespace vornak
