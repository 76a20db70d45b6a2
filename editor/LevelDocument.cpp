// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "Direction.h"
#include "FileReplacement.h"
#include "GameError.h"
#include "LevelFile.h"
#include "LevelLoader.h"
#include "PathText.h"
#include "Picture.h"
#include "SystemFiles.h"
#include "UnseenWindow.h"

namespace vornak::editor {

// One undo step: the whole level before and after. A level is about a kilobyte, so whole
// snapshots cost nothing and can never get out of step with the edits they undo.
class SnapshotCommand : public QUndoCommand {
  public:
    SnapshotCommand(LevelDocument& document, LevelContent before, LevelContent after,
                    const QString& name)
        : QUndoCommand(name),
          document_(document),
          before_(std::move(before)),
          after_(std::move(after)) {}

    // The edit is already on screen when the step is pushed.
    void redo() override {
        if (pushed_) {
            document_.Apply(after_);
        }
        pushed_ = true;
    }
    void undo() override { document_.Apply(before_); }

  private:
    LevelDocument& document_;
    LevelContent before_;
    LevelContent after_;
    bool pushed_ = false;
};

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

// A level file's bytes, through the game's own opener: a named pipe or a device in its place
// must not keep the editor waiting. Nothing for anything but a plain file.
std::optional<std::string> ReadPlainFile(const std::filesystem::path& path) {
    try {
        return ReadWholeFile(SystemFiles(), path, LargestPictureFileBytes, "a level file");
    } catch (const GameError&) {
        return std::nullopt;
    }
}

bool SameBytes(const std::filesystem::path& path, const std::string& bytes) {
    const std::optional<std::string> read = ReadPlainFile(path);
    return read && *read == bytes;
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

void AppendCrLf(std::string& text) {
    text += "\r\n";
}

// A tile the loader skips ('\0', a line end) can never be drawn, so it is never painted.
bool CanPaint(int index, char tile) {
    return index >= 0 && index < TileCount && tile != '\0' && tile != '\n' && tile != '\r';
}

}  // namespace

char TileCharacterOf(const std::filesystem::path& picture) {
    const std::optional<unsigned char> tile = TileCharacterOfPicture(PathText(picture.filename()));
    return tile ? static_cast<char>(*tile) : '\0';
}

LevelDocument::LevelDocument() {
    undoStack_.setUndoLimit(0);
}

// A stroke still open belongs to the level being left: its edits go with that level and never
// become an undo step of the next one.
void LevelDocument::StartNew(const std::filesystem::path& pictureFolder) {
    inStroke_ = false;
    LevelContent fresh;
    fresh.tiles = std::string(TileCount, '.');
    undoStack_.clear();
    folder_.clear();
    pictureFolder_ = pictureFolder;
    rewrites_.clear();
    unreadable_.clear();
    Apply(fresh);
}

void LevelDocument::Open(const std::filesystem::path& folder) {
    inStroke_ = false;
    LevelContent read;
    UnseenWindow window;
    GameState state;
    unreadable_.clear();
    // Each step on its own, as the checker does: a fault in one file leaves the others readable,
    // and whatever came before the fault in a file is kept.
    try {
        LoadTilesMap(window, SystemFiles(), folder, MissingMapFile::ReadAsEmpty);
    } catch (const GameError& error) {
        unreadable_[TilesMapFileName] = error.Reason();
    }
    read.tiles = TileCharacters(folder / TilesMapFileName);
    try {
        LoadBlocksMap(state, SystemFiles(), folder, MissingMapFile::ReadAsEmpty);
    } catch (const GameError& error) {
        unreadable_[BlocksMapFileName] = error.Reason();
    }
    for (int index = 0; index < TileCount; ++index) {
        read.walls[static_cast<std::size_t>(index)] =
            state.Blocks(index % GridColumns + 1, index / GridColumns + 1);
    }
    // A heading is the last of a car's lines, and no line read holds a line feed: a car whose
    // heading is still this was not read whole.
    const std::string notRead = "\n";
    for (int car = 1; car <= CarCount; ++car) {
        state.CarDirection(car) = notRead;
    }
    try {
        LoadCarsFile(state, window, SystemFiles(), folder);
    } catch (const GameError& error) {
        unreadable_[CarsFileName] = error.Reason();
    }
    int carsRead = 0;
    while (carsRead < CarCount && state.CarDirection(carsRead + 1) != notRead) {
        ++carsRead;
    }
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
    undoStack_.clear();
    folder_ = folder;
    pictureFolder_ = folder;
    Apply(read);
    NoteRewrites();
}

void LevelDocument::NoteRewrites() {
    rewrites_.clear();
    for (const auto& [name, bytes] : LevelFiles()) {
        std::error_code error;
        if (!std::filesystem::exists(folder_ / name, error)) {
            continue;  // written new on save; nothing of the level maker's is lost
        }
        if (SameBytes(folder_ / name, bytes)) {
            continue;
        }
        const auto unreadable = unreadable_.find(name);
        if (unreadable != unreadable_.end()) {
            rewrites_.push_back(std::string(name) + " cannot be read by the game (" +
                                unreadable->second +
                                "). The editor shows what could be read; saving writes that, "
                                "and changes what the file says.");
        } else {
            rewrites_.push_back(
                std::string(name) +
                " is not written as the editor writes it (15 rows of 20 cells, or six lines, each "
                "ending in CR LF). The editor shows it as the game reads it; saving rewrites it in "
                "that form, and the game then reads the same level.");
        }
    }
}

void LevelDocument::Apply(const LevelContent& content) {
    content_ = content;
    if (changed) {
        changed();
    }
}

void LevelDocument::BeginStroke(const QString& name) {
    strokeKinds_ = KindsNow();
    inStroke_ = true;
    strokeStart_ = content_;
    strokeName_ = name;
}

void LevelDocument::EndStroke() {
    if (!inStroke_) {
        return;
    }
    inStroke_ = false;
    if (!(content_ == strokeStart_)) {
        undoStack_.push(new SnapshotCommand(*this, strokeStart_, content_, strokeName_));
    }
}

void LevelDocument::Change(const QString& name, const std::function<void(LevelContent&)>& edit) {
    LevelContent next = content_;
    edit(next);
    if (next == content_) {
        return;
    }
    if (inStroke_) {
        Apply(next);
        return;
    }
    const LevelContent before = content_;
    Apply(next);
    undoStack_.push(new SnapshotCommand(*this, before, content_, name));
}

void LevelDocument::SetTile(int index, char tile) {
    if (!CanPaint(index, tile)) {
        return;
    }
    const TileKinds* kinds = PaintKinds();
    Change(QStringLiteral("Paint tiles"),
           [index, tile, kinds](LevelContent& content) { PaintTile(content, index, tile, kinds); });
}

void LevelDocument::Fill(int index, char tile) {
    if (!CanPaint(index, tile)) {
        return;
    }
    const TileKinds* kinds = PaintKinds();
    Change(QStringLiteral("Fill"),
           [index, tile, kinds](LevelContent& content) { FillArea(content, index, tile, kinds); });
}

void LevelDocument::Clear(const CellArea& area, const QString& name) {
    Change(name, [&area](LevelContent& content) { ClearArea(content, area); });
}

void LevelDocument::Paste(const Clip& clip, int column, int row) {
    Change(QStringLiteral("Paste"),
           [&clip, column, row](LevelContent& content) { PasteClip(content, clip, column, row); });
}

void LevelDocument::Shift(int columns, int rows) {
    Change(QStringLiteral("Shift the level"),
           [columns, rows](LevelContent& content) { ShiftLevel(content, columns, rows); });
}

void LevelDocument::Mirror(bool leftRight) {
    Change(QStringLiteral("Mirror the level"),
           [leftRight](LevelContent& content) { MirrorLevel(content, leftRight); });
}

// Within a stroke, the kinds it started with: the cells it paints must not change them midway.
const TileKinds* LevelDocument::PaintKinds() {
    if (!wallsFollowTiles_) {
        return nullptr;
    }
    if (!inStroke_) {
        strokeKinds_ = KindsNow();
    }
    return &strokeKinds_;
}

TileKinds LevelDocument::KindsNow() const {
    const TileUses uses = CountTileUses(content_.tiles, content_.walls);
    TileKinds kinds;
    for (std::size_t character = 0; character < kinds.size(); ++character) {
        kinds[character] =
            uses[character].cells > 0 ? KindOf(uses[character]) : fallbackKinds_[character];
    }
    return kinds;
}

void LevelDocument::SetWall(int index, bool wall) {
    if (index < 0 || index >= TileCount) {
        return;
    }
    Change(wall ? QStringLiteral("Set walls") : QStringLiteral("Clear walls"),
           [index, wall](LevelContent& content) {
               content.walls[static_cast<std::size_t>(index)] = wall;
           });
}

void LevelDocument::SetCarCell(int car, int column, int row) {
    if (car < 1 || car > CarCount || !CellGrid::Contains(column, row)) {
        return;
    }
    Change(QStringLiteral("Place car %1").arg(car), [car, column, row](LevelContent& content) {
        CarStart& start = content.cars[static_cast<std::size_t>(car - 1)];
        start.column = column;
        start.row = row;
        content.unreadCarLines[static_cast<std::size_t>(car - 1)].reset();
    });
}

void LevelDocument::SetCarHeading(int car, const std::string& heading) {
    if (car < 1 || car > CarCount || IsUnread(car)) {
        return;
    }
    Change(QStringLiteral("Turn car %1").arg(car), [car, &heading](LevelContent& content) {
        content.cars[static_cast<std::size_t>(car - 1)].heading = heading;
    });
}

std::string LevelDocument::TilesMapBytes() const {
    std::string bytes;
    for (std::size_t index = 0; index < content_.tiles.size(); ++index) {
        bytes += content_.tiles[index];
        if (index % GridColumns == GridColumns - 1 || index + 1 == content_.tiles.size()) {
            AppendCrLf(bytes);
        }
    }
    return bytes;
}

std::string LevelDocument::BlocksMapBytes() const {
    std::string bytes;
    for (std::size_t index = 0; index < content_.walls.size(); ++index) {
        bytes += content_.walls[index] ? '#' : ' ';
        if (index % GridColumns == GridColumns - 1) {
            AppendCrLf(bytes);
        }
    }
    return bytes;
}

std::string LevelDocument::CarsBytes() const {
    std::string bytes;
    for (std::size_t index = 0; index < content_.cars.size(); ++index) {
        if (content_.unreadCarLines[index]) {
            bytes += *content_.unreadCarLines[index];
            continue;
        }
        const CarStart& car = content_.cars[index];
        for (const std::string& line :
             {std::to_string(car.column), std::to_string(car.row), car.heading}) {
            bytes += line;
            AppendCrLf(bytes);
        }
    }
    return bytes;
}

std::vector<std::pair<std::string, std::string>> LevelDocument::LevelFiles() const {
    std::vector<std::pair<std::string, std::string>> files{{TilesMapFileName, TilesMapBytes()},
                                                           {BlocksMapFileName, BlocksMapBytes()}};
    // A Cars.txt that was missing, with no car placed since, stays missing.
    std::string cars = CarsBytes();
    std::error_code error;
    if (!cars.empty() || IsUntitled() ||
        std::filesystem::symlink_status(folder_ / CarsFileName, error).type() !=
            std::filesystem::file_type::not_found) {
        files.emplace_back(CarsFileName, std::move(cars));
    }
    return files;
}

std::vector<std::filesystem::path> LevelDocument::PictureNames() const {
    std::set<std::filesystem::path> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(pictureFolder_, error)) {
        if (IsPictureName(entry.path().filename())) {
            names.insert(entry.path().filename());
        }
    }
    for (const auto& [name, bytes] : content_.pictures) {
        names.insert(std::filesystem::path(name));
    }
    return {names.begin(), names.end()};
}

std::string LevelDocument::Save(const std::filesystem::path& folder, const WriteFunction& write,
                                const RenameFunction& rename) {
    EndStroke();
    FileReplacement replacement(write, rename);
    // The pictures go first, so that a level whose files were replaced never lacks them. A level
    // saved into another folder takes its whole palette along, over same-named pictures there.
    std::error_code error;
    if (!std::filesystem::equivalent(pictureFolder_, folder, error)) {
        for (const std::filesystem::path& name : PictureNames()) {
            if (content_.pictures.count(name.string()) != 0) {
                continue;
            }
            try {
                replacement.Add(folder / name, ReadWholeFile(SystemFiles(), pictureFolder_ / name,
                                                             LargestPictureFileBytes, "a picture"));
            } catch (const GameError& failure) {
                return "cannot copy " + PathText(name) + " into " + PathText(folder) + ": " +
                       failure.Reason();
            }
        }
    }
    for (const auto& [name, bytes] : content_.pictures) {
        replacement.Add(folder / name, bytes);
    }
    for (const auto& [name, bytes] : LevelFiles()) {
        replacement.Add(folder / name, bytes);
    }
    if (std::string failure = replacement.Commit(); !failure.empty()) {
        return failure;
    }
    folder_ = folder;
    pictureFolder_ = folder;
    rewrites_.clear();
    undoStack_.setClean();
    return {};
}

void LevelDocument::AddPictures(const std::map<std::string, std::string>& pictures,
                                const QString& name) {
    Change(name, [&pictures](LevelContent& content) {
        for (const auto& [file, bytes] : pictures) {
            content.pictures[file] = bytes;
        }
    });
}

void LevelDocument::WriteSnapshot(const std::filesystem::path& folder) const {
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : LevelFiles()) {
        std::ofstream(folder / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::error_code error;
    for (const std::filesystem::path& name : PictureNames()) {
        const auto pending = content_.pictures.find(name.string());
        if (pending != content_.pictures.end()) {
            std::ofstream(folder / name, std::ios::binary)
                .write(pending->second.data(),
                       static_cast<std::streamsize>(pending->second.size()));
        } else {
            std::filesystem::create_symlink(std::filesystem::absolute(pictureFolder_ / name),
                                            folder / name, error);
        }
    }
}

bool IsPictureName(const std::filesystem::path& name) {
    if (TileCharacterOf(name) != '\0') {
        return true;
    }
    for (int car = 1; car <= CarCount; ++car) {
        for (const DirectionStep& direction : DirectionTable) {
            if (name == CarPicturePath("", car, std::string(direction.word)).filename()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace vornak::editor
