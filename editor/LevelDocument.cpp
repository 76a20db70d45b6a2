// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "Direction.h"
#include "DocumentFiles.h"
#include "FileReplacement.h"
#include "GameError.h"
#include "LevelFile.h"
#include "LevelLoader.h"
#include "LevelReading.h"
#include "PathText.h"
#include "Picture.h"
#include "SystemFiles.h"

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

// One import: the pictures it set, by file name, with their bytes before and after (none for a
// picture that was not in the level). Undo and redo move them in the document's pictures; the
// bytes live here, so no step ever loses them.
class PictureCommand : public QUndoCommand {
  public:
    PictureCommand(LevelDocument& document, LevelDocument::Pictures before,
                   LevelDocument::Pictures after, const QString& name)
        : QUndoCommand(name),
          document_(document),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void redo() override { document_.PutPictures(after_); }
    void undo() override { document_.PutPictures(before_); }

  private:
    LevelDocument& document_;
    LevelDocument::Pictures before_;
    LevelDocument::Pictures after_;
};

namespace {

bool SameBytes(const std::filesystem::path& path, const std::string& bytes) {
    const std::optional<std::string> read = ReadPlainFile(path);
    return read && *read == bytes;
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
    known_.clear();
    pictures_.clear();
    rewrites_.clear();
    unreadable_.clear();
    Apply(fresh);
}

void LevelDocument::Open(const std::filesystem::path& folder) {
    inStroke_ = false;
    FolderReading reading = ReadLevelFolder(folder);
    unreadable_ = std::move(reading.unreadable);
    undoStack_.clear();
    folder_ = folder;
    pictureFolder_ = folder;
    known_.clear();
    pictures_.clear();
    for (const char* name : {TilesMapFileName, BlocksMapFileName, CarsFileName}) {
        known_[name] = StampOnDisk(folder / name);
    }
    for (const std::filesystem::path& name : PictureNames()) {
        known_[name.string()] = StampOnDisk(folder / name);
    }
    Apply(reading.content);
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

namespace {

// Kept lines that end without a line end would run into the lines written after them.
bool EndsWithoutALineEnd(const std::string& kept) {
    return !kept.empty() && kept.back() != '\n';
}

}  // namespace

std::vector<std::string> LevelDocument::Rewrites() const {
    std::vector<std::string> rewrites = rewrites_;
    for (std::size_t car = 0; car + 1 < content_.cars.size(); ++car) {
        const std::optional<std::string>& kept = content_.unreadCarLines[car];
        const std::optional<std::string>& next = content_.unreadCarLines[car + 1];
        if (kept && EndsWithoutALineEnd(*kept) && !(next && next->empty())) {
            rewrites.push_back("Cars.txt: the last line kept of car " + std::to_string(car + 1) +
                               " has no line end. Saving ends it with CR LF, so that the lines "
                               "of car " +
                               std::to_string(car + 2) + " that follow stay lines of their own.");
        }
    }
    return rewrites;
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

void LevelDocument::Shift(int columns, int rows, const std::optional<CellArea>& area) {
    Change(area ? QStringLiteral("Shift the selection") : QStringLiteral("Shift the level"),
           [columns, rows, &area](LevelContent& content) {
               ShiftArea(content, area.value_or(WholeGrid), columns, rows);
           });
}

void LevelDocument::Mirror(bool leftRight, const std::optional<CellArea>& area) {
    const MirrorPartners partners = FindMirrorPartners(leftRight);
    Change(area ? QStringLiteral("Mirror the selection") : QStringLiteral("Mirror the level"),
           [leftRight, &area, &partners](LevelContent& content) {
               MirrorArea(content, area.value_or(WholeGrid), leftRight, partners);
           });
}

// Partners by the pixels the game draws, so that a kerb on a road's top edge becomes the kerb
// for its bottom edge.
MirrorPartners LevelDocument::FindMirrorPartners(bool leftRight) const {
    DocumentFiles files(*this);
    std::map<char, Picture> tiles;
    for (const std::filesystem::path& name : PictureNames()) {
        const char tile = TileCharacterOf(name);
        if (tile == '\0') {
            continue;
        }
        try {
            tiles.emplace(tile, DecodePicture(files, pictureFolder_ / name, PictureFormat::Bmp));
        } catch (const GameError&) {
            // The checker names a picture the game cannot read; it has no partner.
        }
    }
    return editor::FindMirrorPartners(tiles, leftRight);
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
        std::string car;
        if (content_.unreadCarLines[index]) {
            car = *content_.unreadCarLines[index];
        } else {
            const CarStart& start = content_.cars[index];
            for (const std::string& line :
                 {std::to_string(start.column), std::to_string(start.row), start.heading}) {
                car += line;
                AppendCrLf(car);
            }
        }
        if (!car.empty() && EndsWithoutALineEnd(bytes)) {
            AppendCrLf(bytes);
        }
        bytes += car;
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
    for (const auto& [name, bytes] : pictures_) {
        if (bytes) {
            names.insert(std::filesystem::path(name));
        } else {
            names.erase(std::filesystem::path(name));
        }
    }
    return {names.begin(), names.end()};
}

FileStamp LevelDocument::Known(const std::string& name) const {
    const auto found = known_.find(name);
    return found == known_.end() ? std::nullopt : found->second;
}

LevelDocument::Pictures LevelDocument::PendingPictures() const {
    Pictures pending;
    for (const auto& [name, bytes] : pictures_) {
        if (StampOf(bytes) != Known(name)) {
            pending.emplace(name, bytes);
        }
    }
    return pending;
}

bool LevelDocument::SavesInPlace(const std::filesystem::path& folder) const {
    std::error_code error;
    return !IsUntitled() && std::filesystem::equivalent(pictureFolder_, folder, error);
}

// Every file a save would write, by name, with its new bytes, or none for a picture that goes:
// the pictures first, so that a level whose files were replaced never lacks them.
std::vector<std::pair<std::string, std::optional<std::string>>> LevelDocument::FilesToWrite(
    const std::filesystem::path& folder, std::string& failure) const {
    std::vector<std::pair<std::string, std::optional<std::string>>> files;
    if (SavesInPlace(folder)) {
        const auto pending = PendingPictures();
        files.assign(pending.begin(), pending.end());
    } else {
        // A level saved into another folder takes its whole palette along.
        for (const std::filesystem::path& name : PictureNames()) {
            const auto held = pictures_.find(name.string());
            if (held != pictures_.end()) {
                files.emplace_back(name.string(), held->second);
                continue;
            }
            try {
                files.emplace_back(name.string(),
                                   ReadWholeFile(SystemFiles(), pictureFolder_ / name,
                                                 LargestPictureFileBytes, "a picture"));
            } catch (const GameError& error) {
                failure = "cannot copy " + PathText(name) + " into " + PathText(folder) + ": " +
                          error.Reason();
                return {};
            }
        }
    }
    for (auto& [name, bytes] : LevelFiles()) {
        files.emplace_back(name, std::move(bytes));
    }
    return files;
}

std::vector<std::string> LevelDocument::FilesSaveWouldReplace(
    const std::filesystem::path& folder) const {
    std::string failure;
    const bool inPlace = SavesInPlace(folder);
    std::vector<std::string> replaced;
    for (const auto& [name, bytes] : FilesToWrite(folder, failure)) {
        const std::optional<std::string> onDisk = ReadPlainFile(folder / name);
        if (!onDisk || onDisk == bytes || (inPlace && StampOf(onDisk) == Known(name))) {
            continue;
        }
        replaced.push_back(name);
    }
    return replaced;
}

std::string LevelDocument::Save(const std::filesystem::path& folder, const WriteFunction& write,
                                const RenameFunction& rename) {
    EndStroke();
    std::string failure;
    const auto files = FilesToWrite(folder, failure);
    if (!failure.empty()) {
        return failure;
    }
    FileReplacement replacement(write, rename);
    for (const auto& [name, bytes] : files) {
        if (bytes) {
            replacement.Add(folder / name, *bytes);
        } else {
            replacement.Remove(folder / name);
        }
    }
    if (failure = replacement.Commit(); !failure.empty()) {
        return failure;
    }
    if (!SavesInPlace(folder)) {
        known_.clear();
    }
    for (const auto& [name, bytes] : files) {
        known_[name] = StampOf(bytes);
    }
    folder_ = folder;
    pictureFolder_ = folder;
    rewrites_.clear();
    undoStack_.setClean();
    return {};
}

// Each picture an import replaces keeps, in the step, the bytes it had before; a new one is absent
// there. An undo, even after a save, then brings back the old picture, or takes the new one out
// of the level, and the next save writes that.
void LevelDocument::AddPictures(const std::map<std::string, std::string>& pictures,
                                const QString& name) {
    EndStroke();
    Pictures before;
    Pictures after;
    for (const auto& [file, bytes] : pictures) {
        const auto held = pictures_.find(file);
        before[file] =
            held != pictures_.end() ? held->second : ReadPlainFile(pictureFolder_ / file);
        after[file] = bytes;
    }
    if (before != after) {
        undoStack_.push(new PictureCommand(*this, std::move(before), std::move(after), name));
    }
}

void LevelDocument::PutPictures(const Pictures& pictures) {
    for (const auto& [file, bytes] : pictures) {
        pictures_[file] = bytes;
    }
    if (changed) {
        changed();
    }
}

// Written whole or not at all: a level cut short by a full disk must never be played.
std::string LevelDocument::WriteSnapshot(const std::filesystem::path& folder) const {
    std::string failure;
    const auto files = FilesToWrite(folder, failure);
    if (!failure.empty()) {
        return failure;
    }
    for (const auto& [name, bytes] : files) {
        if (bytes) {
            failure = WriteNewFile(folder / name, *bytes);
        }
        if (!failure.empty()) {
            return failure;
        }
    }
    return {};
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
