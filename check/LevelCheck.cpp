// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelCheck.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "Direction.h"
#include "GameError.h"
#include "GameState.h"
#include "LevelFile.h"
#include "LevelLoader.h"
#include "PathText.h"
#include "Picture.h"
#include "SystemFiles.h"
#include "TileKinds.h"
#include "UnseenWindow.h"

namespace vornak {

namespace {

using Severity = Diagnostic::Severity;

std::string Cells(int count) {
    return std::to_string(count) + (count == 1 ? " cell" : " cells");
}

// Decodes each picture the loader asks for, as the game would, but records the faults instead
// of stopping at the first, and says each only once.
class CheckingWindow : public UnseenWindow {
  public:
    CheckingWindow(std::vector<Diagnostic>& diagnostics, FileOpener& files)
        : diagnostics_(diagnostics), files_(files) {}

    // Where the next picture request comes from, for the diagnostics it may cause.
    void SetSource(std::filesystem::path file, Place place) {
        sourceFile_ = std::move(file);
        sourcePlace_ = place;
    }
    void SetTileSources(std::filesystem::path file, std::vector<TileAt> places) {
        tileFile_ = std::move(file);
        tilePlaces_ = std::move(places);
    }

    void SetTilePicture(int tileIndex, const std::filesystem::path& picture) override {
        const Place place = static_cast<std::size_t>(tileIndex) < tilePlaces_.size()
                                ? tilePlaces_[static_cast<std::size_t>(tileIndex)].place
                                : Place{};
        CheckPicture(picture, PictureFormat::Bmp, tileFile_, place, "");
    }
    void SetCarPicture(int /*car*/, const std::filesystem::path& picture) override {
        CheckPicture(picture, PictureFormat::Gif, sourceFile_, sourcePlace_, "");
    }

    void CheckPicture(const std::filesystem::path& picture, PictureFormat format,
                      const std::filesystem::path& file, Place place, const std::string& when) {
        MarkUsed(picture);
        if (!checked_.insert(picture).second) {
            return;
        }
        const std::string name = ShownName(picture.filename());
        try {
            const Picture image = DecodePicture(files_, picture, format);
            if (image.width != CellSize || image.height != CellSize) {
                diagnostics_.push_back({file, place.line, place.column, Severity::Warning,
                                        name + " is " + std::to_string(image.width) + " x " +
                                            std::to_string(image.height) + " pixels, not 16 x 16"});
            }
        } catch (const GameError& error) {
            diagnostics_.push_back({file, place.line, place.column, Severity::Error,
                                    name + " " + error.Reason() + when});
        }
    }

    void MarkUsed(const std::filesystem::path& picture) { used_.insert(picture.filename()); }
    const std::set<std::filesystem::path>& UsedNames() const { return used_; }

  private:
    std::vector<Diagnostic>& diagnostics_;
    FileOpener& files_;
    std::filesystem::path sourceFile_;
    Place sourcePlace_;
    std::filesystem::path tileFile_;
    std::vector<TileAt> tilePlaces_;
    std::set<std::filesystem::path> checked_;
    std::set<std::filesystem::path> used_;
};

// Whether the game could create a file in folder: empty if so, else why not.
std::string WhyFolderIsNotWritable(const std::filesystem::path& folder) {
#ifdef _WIN32
    const int refused = ::_waccess(folder.c_str(), 2);
#else
    const int refused = ::access(folder.c_str(), W_OK);
#endif
    return refused == 0 ? std::string() : std::string(std::strerror(errno));
}

// The game's reasons follow the file's name ("Cars.txt is missing"); after the place in a
// finding they need their subject back.
void AddGameError(std::vector<Diagnostic>& diagnostics, const std::filesystem::path& shownFile,
                  const GameError& error) {
    std::string message = error.Reason();
    for (const std::string_view verb : {"is ", "has ", "cannot ", "was "}) {
        if (message.rfind(verb, 0) == 0) {
            message = "the file " + message;
            break;
        }
    }
    diagnostics.push_back({shownFile, std::max(error.Line(), 1), std::max(error.Column(), 1),
                           Severity::Error, message});
}

// The headings that Cars.txt holds, however far the game gets in reading it: a bad number on
// line 5 must not hide a heading on line 3 that names no picture the game has.
void CheckHeadings(std::vector<Diagnostic>& diagnostics, FileOpener& files,
                   const std::filesystem::path& carsFile, const std::filesystem::path& shown) {
    try {
        LevelFile file(files, carsFile, LevelFile::WhenMissing::ReadAsEmpty);
        for (int line = 1; line <= 3 * CarCount; ++line) {
            const std::optional<std::string> text = file.ReadLine();
            if (!text) {
                return;
            }
            if (line % 3 == 0 && FindDirection(*text) == nullptr) {
                diagnostics.push_back({shown, line, 1, Severity::Warning,
                                       "car " + std::to_string(line / 3) + "'s heading " +
                                           QuoteForMessage(*text) +
                                           " is not up, down, left or right"});
            }
        }
    } catch (const GameError&) {
        // The loader reports why the file cannot be read.
    }
}

// The game creates a missing map file empty, if it can: where it cannot, it stops, and so the
// checker must call that an error. A dangling link is left to the loader, which refuses it.
void CheckMissingMap(std::vector<Diagnostic>& diagnostics, const LevelSource& source,
                     const std::filesystem::path& path, const std::filesystem::path& shown) {
    if (source.files.Open(path).kind != FileKind::Missing) {
        return;
    }
    if (const std::string& reason = source.whyNotWritable; !reason.empty()) {
        diagnostics.push_back({shown, 1, 1, Severity::Error,
                               "the file is missing, and the game cannot create it: " + reason});
        return;
    }
    diagnostics.push_back(
        {shown, 1, 1, Severity::Warning, "the file is missing; the game would create it empty"});
}

// A level made on Linux may be played on Windows, where file names ignore case and may not hold
// some characters: there, Tilea.bmp and TileA.bmp are one picture, and Tile?.bmp none at all.
void CheckTileNamesForWindows(std::vector<Diagnostic>& diagnostics,
                              const std::vector<TileAt>& tiles,
                              const std::filesystem::path& shown) {
    constexpr std::string_view Forbidden = "<>:\"/\\|?*";
    std::map<int, int> firstOfFolded;  // case-folded character -> the character met first
    std::set<int> warned;
    for (const auto& [byte, place] : tiles) {
        if (!warned.insert(byte).second) {
            continue;
        }
        const std::string name = PathText(TilePicturePath("", byte).filename());
        if (byte < 0x20 || Forbidden.find(static_cast<char>(byte)) != std::string_view::npos) {
            diagnostics.push_back({shown, place.line, place.column, Severity::Warning,
                                   "the tile character " +
                                       QuoteForMessage(std::string(1, static_cast<char>(byte))) +
                                       " names " + QuoteForMessage(name) +
                                       ", which cannot be a file name on Windows"});
            continue;
        }
        const int folded = byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
        const auto [first, isNew] = firstOfFolded.emplace(folded, byte);
        if (!isNew && first->second != byte) {
            const std::string other =
                PathText(TilePicturePath("", static_cast<unsigned char>(first->second)).filename());
            diagnostics.push_back({shown, place.line, place.column, Severity::Warning,
                                   name + " and " + other +
                                       " are one file on Windows, which ignores case in file "
                                       "names"});
        }
    }
}

// A blocks-map line with other than 20 cells makes every later row start elsewhere.
void CheckBlocksRows(std::vector<Diagnostic>& diagnostics, const std::vector<Place>& places,
                     const std::filesystem::path& shown) {
    std::map<int, int> cellsOnLine;
    for (const Place& place : places) {
        ++cellsOnLine[place.line];
    }
    const int lastLine = places.empty() ? 0 : places.back().line;
    // A line of whole rows (20, or 40, or all 300 on one line) moves nothing; any other count
    // makes the next line start elsewhere in its row.
    for (const auto& [line, cells] : cellsOnLine) {
        if (cells % GridColumns == 0) {
            continue;
        }
        std::string message = "this line holds " + Cells(cells) + ", not 20";
        if (line == lastLine) {
            message += "; the rest of its row stays free";
        } else if (cells < GridColumns) {
            message += "; every later row shifts left by " + Cells(GridColumns - cells);
        } else {
            message += "; every later row shifts right by " + Cells(cells % GridColumns);
        }
        diagnostics.push_back({shown, line, 1, Severity::Warning, message});
    }
}

// A wall drawn as road is a wall that players cannot see, and a barrier tile without its wall is
// one that cars drive through; the game says nothing of either.
void CheckWallsAgainstTiles(std::vector<Diagnostic>& diagnostics, const std::vector<TileAt>& tiles,
                            const GameState& state, const std::vector<Place>& blockPlaces,
                            const std::filesystem::path& shown) {
    std::string characters;
    std::array<bool, TileCount> walls{};
    for (const TileAt& tile : tiles) {
        characters += static_cast<char>(tile.character);
    }
    for (int index = 0; index < TileCount; ++index) {
        walls[static_cast<std::size_t>(index)] =
            state.Blocks(index % GridColumns + 1, index / GridColumns + 1);
    }
    const TileUses uses = CountTileUses(characters, walls);
    for (std::size_t index = 0; index < characters.size(); ++index) {
        const auto character = static_cast<unsigned char>(characters[index]);
        const TileUse& use = uses[character];
        const std::optional<bool> kind = KindOf(use);
        if (!kind || *kind == walls[index]) {
            continue;
        }
        const Place place = index < blockPlaces.size() ? blockPlaces[index] : Place{};
        const std::string quoted = QuoteForMessage(std::string(1, static_cast<char>(character)));
        const std::string share = std::to_string(*kind ? use.walls : use.cells - use.walls) +
                                  " of its " + std::to_string(use.cells) + " cells";
        std::string message = *kind ? "no wall under the tile " : "a wall under the tile ";
        message += quoted;
        message += *kind ? ", which is a wall in " : ", which is open in ";
        message += share;
        message += *kind ? ": cars drive through this barrier"
                         : ": cars stop at a wall that players cannot see";
        // A cell past the file's end has no place there, only its number.
        const int cell = index < blockPlaces.size() ? -1 : static_cast<int>(index);
        diagnostics.push_back(
            {shown, place.line, place.column, Severity::Warning, std::move(message), cell});
    }
}

void CheckCarStarts(std::vector<Diagnostic>& diagnostics, const GameState& state,
                    const std::filesystem::path& shown) {
    for (int car = 1; car <= CarCount; ++car) {
        const int columnLine = 3 * (car - 1) + 1;
        const std::string name = "car " + std::to_string(car);
        const std::int32_t column = state.CarX(car);
        const std::int32_t row = state.CarY(car);
        if (!CellGrid::Contains(column, row)) {
            diagnostics.push_back({shown, columnLine, 1, Severity::Warning,
                                   name + " starts at column " + std::to_string(column) + ", row " +
                                       std::to_string(row) + ", outside the 20 x 15 grid"});
        } else if (state.Blocks(column, row)) {
            diagnostics.push_back(
                {shown, columnLine, 1, Severity::Warning, name + " starts on a wall"});
        } else {
            // Past the edge counts as a wall, as when the car drives.
            const auto closed = [&state](int nextColumn, int nextRow) {
                return !CellGrid::Contains(nextColumn, nextRow) ||
                       state.Blocks(nextColumn, nextRow);
            };
            if (closed(column - 1, row) && closed(column + 1, row) && closed(column, row - 1) &&
                closed(column, row + 1)) {
                diagnostics.push_back({shown, columnLine, 1, Severity::Warning,
                                       name + " cannot leave its start cell: walls close all "
                                              "four sides"});
            }
        }
    }
    if (state.CarX(1) == state.CarX(2) && state.CarY(1) == state.CarY(2)) {
        diagnostics.push_back({shown, 4, 1, Severity::Warning, "car 2 starts on car 1's cell"});
    }
}

void CheckUnusedPictures(std::vector<Diagnostic>& diagnostics,
                         const std::vector<std::filesystem::path>& names,
                         const std::filesystem::path& shownFolder,
                         const std::set<std::filesystem::path>& used) {
    std::vector<std::filesystem::path> unused;
    for (const std::filesystem::path& entry : names) {
        const std::string name = PathText(entry.filename());
        const bool tile = TileCharacterOfPicture(name).has_value();
        const bool car = name.rfind("Car", 0) == 0 && name.size() > 7 &&
                         name.compare(name.size() - 4, 4, ".gif") == 0;
        if ((tile || car) && used.count(entry.filename()) == 0) {
            unused.push_back(entry.filename());
        }
    }
    std::sort(unused.begin(), unused.end());
    for (const std::filesystem::path& name : unused) {
        diagnostics.push_back(
            {shownFolder / name, 1, 1, Severity::Warning, "the level never uses this picture"});
    }
}

}  // namespace

std::vector<TileAt> TilePlaces(FileOpener& files, const std::filesystem::path& tilesMap) {
    std::vector<TileAt> places;
    LevelFile file(files, tilesMap, LevelFile::WhenMissing::ReadAsEmpty);
    for (int byte = file.ReadByte(); byte >= 0 && places.size() < TileCount;
         byte = file.ReadByte()) {
        if (IsTileCharacter(byte)) {
            places.push_back({static_cast<unsigned char>(byte), {file.Line(), file.Column()}});
        }
    }
    return places;
}

std::vector<Place> BlockPlaces(FileOpener& files, const std::filesystem::path& blocksMap) {
    std::vector<Place> places;
    LevelFile file(files, blocksMap, LevelFile::WhenMissing::ReadAsEmpty);
    for (int byte = file.ReadByte(); byte >= 0 && places.size() < TileCount;
         byte = file.ReadByte()) {
        if (byte == '#' || byte == ' ') {
            places.push_back({file.Line(), file.Column()});
        }
    }
    return places;
}

std::vector<Diagnostic> CheckLevel(const std::filesystem::path& folder) {
    const std::filesystem::path programDir = folder.empty() ? "." : folder;
    std::error_code unreadable;
    if (!std::filesystem::is_directory(programDir, unreadable)) {
        return {{programDir, 1, 1, Severity::Error,
                 std::filesystem::exists(programDir, unreadable)
                     ? "this is not a folder; a level is a folder"
                     : "there is no such folder"}};
    }
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(programDir, unreadable)) {
        names.push_back(entry.path().filename());
    }
    return CheckLevel(LevelSource{programDir, folder == "." ? "" : folder, SystemFiles(),
                                  std::move(names), WhyFolderIsNotWritable(programDir)});
}

std::vector<Diagnostic> CheckLevel(const LevelSource& source) {
    std::vector<Diagnostic> diagnostics;
    const std::filesystem::path& programDir = source.folder;
    const std::filesystem::path& shownFolder = source.shownFolder;
    FileOpener& files = source.files;
    const std::filesystem::path tilesShown = shownFolder / TilesMapFileName;
    const std::filesystem::path blocksShown = shownFolder / BlocksMapFileName;
    const std::filesystem::path carsShown = shownFolder / CarsFileName;
    CheckingWindow window(diagnostics, files);
    GameState state;
    std::vector<TileAt> tiles;
    // The game reads each car's four heading pictures during play, whatever the level says.
    for (int car = 1; car <= CarCount; ++car) {
        for (const DirectionStep& direction : DirectionTable) {
            window.MarkUsed(CarPicturePath(programDir, car, std::string(direction.word)));
        }
    }

    try {
        CheckMissingMap(diagnostics, source, programDir / TilesMapFileName, tilesShown);
        tiles = TilePlaces(files, programDir / TilesMapFileName);
        CheckTileNamesForWindows(diagnostics, tiles, tilesShown);
        window.SetTileSources(tilesShown, tiles);
        const int tileCount = LoadTilesMap(window, files, programDir, MissingMapFile::ReadAsEmpty);
        if (tileCount < TileCount) {
            diagnostics.push_back({tilesShown, 1, 1, Severity::Warning,
                                   "the map holds " + std::to_string(tileCount) +
                                       " tiles, not 300; the rest of the field stays empty"});
        }
    } catch (const GameError& error) {
        AddGameError(diagnostics, tilesShown, error);
    }

    try {
        CheckMissingMap(diagnostics, source, programDir / BlocksMapFileName, blocksShown);
        const std::vector<Place> blockPlaces = BlockPlaces(files, programDir / BlocksMapFileName);
        CheckBlocksRows(diagnostics, blockPlaces, blocksShown);
        const int cells = LoadBlocksMap(state, files, programDir, MissingMapFile::ReadAsEmpty);
        if (cells < TileCount) {
            diagnostics.push_back({blocksShown, 1, 1, Severity::Warning,
                                   "the map holds " + std::to_string(cells) +
                                       " cells, not 300; the cells after them stay free"});
        }
        CheckWallsAgainstTiles(diagnostics, tiles, state, blockPlaces, blocksShown);
    } catch (const GameError& error) {
        AddGameError(diagnostics, blocksShown, error);
    }

    std::vector<Diagnostic> cars;
    CheckHeadings(cars, files, programDir / CarsFileName, carsShown);
    try {
        LoadCarsFile(state, window, files, programDir);
        CheckCarStarts(cars, state, carsShown);
        for (int car = 1; car <= CarCount; ++car) {
            const Place heading{3 * car, 1};
            window.SetSource(carsShown, heading);
            window.SetCarPicture(car, CarPicturePath(programDir, car, state.CarDirection(car)));
            // Every heading's picture is read the first time the car drives that way.
            for (const DirectionStep& direction : DirectionTable) {
                window.CheckPicture(CarPicturePath(programDir, car, std::string(direction.word)),
                                    PictureFormat::Gif, carsShown, heading,
                                    "; the game stops when car " + std::to_string(car) +
                                        " first drives " + std::string(direction.word));
            }
        }
    } catch (const GameError& error) {
        AddGameError(cars, carsShown, error);
    }
    std::stable_sort(cars.begin(), cars.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.file == b.file && a.line < b.line;
    });
    diagnostics.insert(diagnostics.end(), cars.begin(), cars.end());

    CheckUnusedPictures(diagnostics, source.names, shownFolder, window.UsedNames());
    return diagnostics;
}

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    return PathText(diagnostic.file) + ":" + std::to_string(diagnostic.line) + ":" +
           std::to_string(diagnostic.column) + ": " +
           (diagnostic.severity == Diagnostic::Severity::Error ? "error" : "warning") + ": " +
           diagnostic.message;
}

int ExitStatusFor(const std::vector<Diagnostic>& diagnostics) {
    int status = 0;
    for (const Diagnostic& diagnostic : diagnostics) {
        status = std::max(status, diagnostic.severity == Diagnostic::Severity::Error ? 2 : 1);
    }
    return status;
}

}  // namespace vornak
