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

    // Where this step set name, and brought back what the editor knew there, it brings back
    // replaced instead.
    bool TakeBack(const std::string& name, const std::optional<std::string>& known,
                  const std::optional<std::string>& replaced) {
        const auto before = before_.find(name);
        if (before == before_.end() || before->second != known) {
            return false;
        }
        before->second = replaced;
        return true;
    }

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
    folderIdentity_ = {};
    hold_.reset();
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
        known_[name] = ReadDiskState(folder / name, LargestPictureFileBytes);
    }
    for (const std::filesystem::path& name : PictureNames()) {
        known_[name.string()] = ReadDiskState(folder / name, LargestPictureFileBytes);
    }
    Hold(folder);
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

bool LevelDocument::Shift(int columns, int rows, const std::optional<CellArea>& area) {
    LevelContent trial = content_;
    if (!ShiftArea(trial, area.value_or(WholeGrid), columns, rows)) {
        return false;
    }
    Change(area ? QStringLiteral("Shift the selection") : QStringLiteral("Shift the level"),
           [&trial](LevelContent& content) { content = trial; });
    return true;
}

bool LevelDocument::Mirror(bool leftRight, const std::optional<CellArea>& area) {
    LevelContent trial = content_;
    if (!MirrorArea(trial, area.value_or(WholeGrid), leftRight, FindMirrorPartners(leftRight))) {
        return false;
    }
    Change(area ? QStringLiteral("Mirror the selection") : QStringLiteral("Mirror the level"),
           [&trial](LevelContent& content) { content = trial; });
    return true;
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
    // A picture gone from disk stays in the palette from the editor's copy: a save puts it back,
    // and says so, rather than lose it unnoticed.
    for (const auto& [name, state] : known_) {
        if (state.kind == DiskState::Kind::Plain && IsPictureName(name)) {
            names.insert(std::filesystem::path(name));
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

DiskState LevelDocument::Known(const std::string& name) const {
    const auto found = known_.find(name);
    return found == known_.end() ? DiskState{} : found->second;
}

namespace {

DiskState StateOf(const std::optional<std::string>& bytes) {
    return bytes ? DiskState::Holding(*bytes) : DiskState{};
}

std::optional<std::string> BytesOf(const DiskState& state) {
    return state.kind == DiskState::Kind::Plain ? std::optional(state.bytes) : std::nullopt;
}

std::pair<unsigned long long, unsigned long long> IdentityOf(const std::filesystem::path& folder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        return {};
    }
    return {status.st_dev, status.st_ino};
}

std::string FoldedCase(const std::string& name) {
    std::string folded = name;
    for (char& character : folded) {
        if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    return folded;
}

// The folder answers for itself: a name made there, looked up with its case swapped.
bool FolderFoldsCase(const std::filesystem::path& folder) {
    std::string made = (folder / ".vornak-case-probe-XXXXXX").string();
    const int descriptor = ::mkstemp(made.data());
    if (descriptor < 0) {
        return false;  // the save itself then says why nothing can be written there
    }
    ::close(descriptor);
    std::string swapped = std::filesystem::path(made).filename().string();
    for (char& character : swapped) {
        if (character >= 'a' && character <= 'z') {
            character = static_cast<char>(character - 'a' + 'A');
        } else if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    struct stat status {};
    const bool folds = ::lstat((folder / swapped).c_str(), &status) == 0;
    ::unlink(made.c_str());
    return folds;
}

}  // namespace

LevelDocument::Pictures LevelDocument::PendingPictures() const {
    Pictures pending;
    for (const auto& [name, bytes] : pictures_) {
        if (StateOf(bytes) != Known(name)) {
            pending.emplace(name, bytes);
        }
    }
    return pending;
}

bool LevelDocument::SavesInPlace(const std::filesystem::path& folder) const {
    std::error_code error;
    return !IsUntitled() && std::filesystem::equivalent(pictureFolder_, folder, error);
}

void LevelDocument::Hold(const std::filesystem::path& folder) {
    folderIdentity_ = IdentityOf(folder);
    hold_ = std::make_unique<FolderHold>(folder);
    hold_->RemoveLeftovers();
}

// In its own folder, a save writes the pictures changed in the editor, and puts back those the
// disk lost. Into another folder (and for playing) it takes the whole palette along: a picture
// changed in the editor as the editor holds it, and any other as the disk has it now, since a
// paint program may have changed it; one the disk lost from the editor's copy.
void LevelDocument::PlanPictures(SavePlan& plan, bool inPlace) const {
    const Pictures pending = PendingPictures();
    const auto gone = [](const DiskState& state) { return state.kind == DiskState::Kind::Absent; };
    for (const auto& [name, bytes] : pending) {
        if (bytes || inPlace) {
            plan.files.push_back({name, bytes, {}});
        }
    }
    for (const std::filesystem::path& path : PictureNames()) {
        const std::string name = path.string();
        if (pending.count(name) != 0) {
            continue;
        }
        const DiskState held = Known(name);
        const DiskState source = ReadDiskState(pictureFolder_ / path, LargestPictureFileBytes);
        if (gone(source) && held.kind == DiskState::Kind::Plain) {
            plan.files.push_back({name, held.bytes, {}});
            plan.questions.push_back(
                {name, "is gone from " + PathText(pictureFolder_) +
                           "; the level would lose it, so the editor's copy is saved"});
        } else if (inPlace) {
            continue;
        } else if (source.kind == DiskState::Kind::Plain) {
            if (held.kind == DiskState::Kind::Plain && held.bytes != source.bytes) {
                plan.questions.push_back({name, "changed in " + PathText(pictureFolder_) +
                                                    " since the editor read it; the copy there "
                                                    "is saved"});
            }
            plan.files.push_back({name, source.bytes, {}});
        } else if (!gone(source)) {
            plan.refusal = "cannot copy " + name + " into " + PathText(plan.folder) + ": it is " +
                           DescribeDiskState(source);
        }
    }
}

LevelDocument::SavePlan LevelDocument::PlanSave(const std::filesystem::path& folder,
                                                const CaseProbe& foldsCase) const {
    SavePlan plan;
    plan.folder = folder;
    const bool inPlace = SavesInPlace(folder);
    std::error_code error;
    if (!IsUntitled() && folder == folder_) {
        if (!std::filesystem::is_directory(folder, error)) {
            plan.refusal = PathText(folder) +
                           " is gone: the level's folder was moved or removed. Save the level "
                           "into a folder with Save As.";
            return plan;
        }
        if (IdentityOf(folder) != folderIdentity_) {
            plan.questions.push_back({PathText(folder),
                                      "is no longer the folder the editor opened: that one was "
                                      "moved or removed, and another took its name"});
        }
    }
    PlanPictures(plan, inPlace);
    for (auto& [name, bytes] : LevelFiles()) {
        plan.files.push_back({name, std::move(bytes), {}});
    }
    std::set<std::string> asked;
    for (const SavePlan::Question& question : plan.questions) {
        asked.insert(question.name);
    }
    std::set<std::string> planned;
    for (SavePlan::File& file : plan.files) {
        planned.insert(file.name);
        file.found = ReadDiskState(folder / file.name, LargestPictureFileBytes);
        const DiskState expected = inPlace ? Known(file.name) : DiskState{};
        if (file.found == expected || file.found == StateOf(file.bytes) ||
            asked.count(file.name) != 0) {
            continue;
        }
        std::string why = "is " + DescribeDiskState(file.found) + " there now";
        if (file.found.kind == DiskState::Kind::Plain) {
            why = inPlace ? "changed on disk since the editor read or wrote it"
                          : "is there already, and differs from the level's";
        } else if (file.found.kind == DiskState::Kind::Absent) {
            why = "was removed from disk since the editor read or wrote it";
        }
        plan.questions.push_back({file.name, why});
    }
    if (!inPlace) {
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if ((IsLevelFileName(name) || IsPictureName(name)) && planned.count(name) == 0) {
                plan.extras.push_back(
                    {name, std::nullopt, ReadDiskState(entry.path(), LargestPictureFileBytes)});
            }
        }
        std::sort(plan.extras.begin(), plan.extras.end(),
                  [](const auto& one, const auto& other) { return one.name < other.name; });
    }
    // Two names the folder takes for one file would leave one picture where the level has two:
    // two that the save writes, or one it writes beside one the palette already has there.
    std::set<std::string> names;
    for (const SavePlan::File& file : plan.files) {
        if (file.bytes) {
            names.insert(file.name);
        }
    }
    for (const std::filesystem::path& name : PictureNames()) {
        names.insert(name.string());
    }
    std::map<std::string, std::string> byFolded;
    for (const std::string& name : names) {
        const auto [other, fresh] = byFolded.emplace(FoldedCase(name), name);
        if (!fresh && (foldsCase ? foldsCase(folder) : FolderFoldsCase(folder))) {
            plan.refusal = other->second + " and " + name + " differ only in case, and " +
                           PathText(folder) +
                           " takes them for one file. Rename one of the tiles, or save the "
                           "level onto a disk that tells them apart.";
            return plan;
        }
    }
    return plan;
}

std::vector<std::string> LevelDocument::FilesSaveWouldReplace(
    const std::filesystem::path& folder) const {
    const SavePlan plan = PlanSave(folder);
    std::vector<std::string> replaced;
    for (const SavePlan::Question& question : plan.questions) {
        replaced.push_back(question.name);
    }
    for (const SavePlan::File& extra : plan.extras) {
        replaced.push_back(extra.name);
    }
    return replaced;
}

// The undo step that brings back what a picture was before the editor changed it holds, after
// the save, what the save replaced there: another program's work, not the editor's older copy.
void LevelDocument::TakeBackReplaced(const std::string& name, const DiskState& replaced) {
    if (replaced.kind == DiskState::Kind::Unreadable) {
        return;
    }
    const std::optional<std::string> known = BytesOf(Known(name));
    for (int index = undoStack_.index() - 1; index >= 0; --index) {
        const auto* step = dynamic_cast<const PictureCommand*>(undoStack_.command(index));
        if (step != nullptr &&
            const_cast<PictureCommand*>(step)->TakeBack(name, known, BytesOf(replaced))) {
            return;
        }
    }
}

std::string LevelDocument::CommitSave(const SavePlan& plan, const WriteFunction& write,
                                      const RenameFunction& rename) {
    EndStroke();
    changedInSave_.clear();
    if (!plan.refusal.empty()) {
        return plan.refusal;
    }
    const bool inPlace = SavesInPlace(plan.folder);
    if (inPlace && hold_) {
        hold_->RemoveLeftovers();
    }
    FileReplacement replacement(write, rename);
    for (const SavePlan::File& file : plan.files) {
        if (file.bytes) {
            replacement.Add(plan.folder / file.name, *file.bytes, file.found);
        } else {
            replacement.Remove(plan.folder / file.name, file.found);
        }
    }
    if (plan.removeExtras) {
        for (const SavePlan::File& extra : plan.extras) {
            replacement.Remove(plan.folder / extra.name, extra.found);
        }
    }
    if (std::string failure = replacement.Commit(); !failure.empty()) {
        for (const std::filesystem::path& path : replacement.Changed()) {
            changedInSave_.push_back(path.filename().string());
        }
        return failure;
    }
    if (inPlace) {
        for (const SavePlan::File& file : plan.files) {
            if (pictures_.count(file.name) != 0 && file.found != Known(file.name)) {
                TakeBackReplaced(file.name, file.found);
            }
        }
    } else {
        known_.clear();
    }
    for (const SavePlan::File& file : plan.files) {
        known_[file.name] = StateOf(file.bytes);
    }
    if (!inPlace || IdentityOf(plan.folder) != folderIdentity_) {
        Hold(plan.folder);
    }
    folder_ = plan.folder;
    pictureFolder_ = plan.folder;
    folderIdentity_ = IdentityOf(plan.folder);
    rewrites_.clear();
    undoStack_.setClean();
    return {};
}

std::string LevelDocument::Save(const std::filesystem::path& folder, const WriteFunction& write,
                                const RenameFunction& rename) {
    EndStroke();
    return CommitSave(PlanSave(folder), write, rename);
}

// Each picture an import replaces keeps, in the step, the bytes it had before; a new one is absent
// there. An undo, even after a save, then brings back the old picture, or takes the new one out
// of the level, and the next save writes that.
std::string LevelDocument::AddPictures(const std::map<std::string, std::string>& pictures,
                                       const QString& name) {
    EndStroke();
    Pictures before;
    Pictures after;
    for (const auto& [file, bytes] : pictures) {
        const auto held = pictures_.find(file);
        if (held != pictures_.end()) {
            before[file] = held->second;
        } else {
            const DiskState state = ReadDiskState(pictureFolder_ / file, LargestPictureFileBytes);
            if (state.kind == DiskState::Kind::Unreadable) {
                return file + " is " + DescribeDiskState(state) +
                       "; an import over it could not be undone. Make it readable, or take it "
                       "out of the level's folder, first.";
            }
            before[file] = BytesOf(state);
        }
        after[file] = bytes;
    }
    if (before != after) {
        undoStack_.push(new PictureCommand(*this, std::move(before), std::move(after), name));
    }
    return {};
}

void LevelDocument::Recover(const LevelContent& content, const Pictures& pictures) {
    EndStroke();
    undoStack_.beginMacro(QStringLiteral("Recovered edits"));
    Change(QStringLiteral("Recovered edits"), [&content](LevelContent& level) { level = content; });
    Pictures before;
    for (const auto& [file, bytes] : pictures) {
        const auto held = pictures_.find(file);
        before[file] = held != pictures_.end()
                           ? held->second
                           : BytesOf(ReadDiskState(pictureFolder_ / file, LargestPictureFileBytes));
    }
    if (before != pictures) {
        undoStack_.push(new PictureCommand(*this, std::move(before), pictures,
                                           QStringLiteral("Recovered pictures")));
    }
    undoStack_.endMacro();
}

std::vector<std::string> LevelDocument::ChangedOnDisk() const {
    std::vector<std::string> names;
    if (IsUntitled()) {
        return names;
    }
    for (const auto& [name, state] : known_) {
        if (ReadDiskState(folder_ / name, LargestPictureFileBytes) != state) {
            names.push_back(name);
        }
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string name = entry.path().filename().string();
        if (IsPictureName(name) && known_.count(name) == 0 && pictures_.count(name) == 0) {
            names.push_back(name);
        }
    }
    return names;
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
    const SavePlan plan = PlanSave(folder);
    if (!plan.refusal.empty()) {
        return plan.refusal;
    }
    for (const SavePlan::File& file : plan.files) {
        if (file.bytes) {
            if (std::string failure = WriteNewFile(folder / file.name, *file.bytes);
                !failure.empty()) {
                return failure;
            }
        }
    }
    return {};
}

bool IsLevelFileName(const std::filesystem::path& name) {
    return name == TilesMapFileName || name == BlocksMapFileName || name == CarsFileName;
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
