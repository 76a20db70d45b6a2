// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QUndoStack>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FileReplacement.h"
#include "GameState.h"
#include "LevelEdits.h"
#include "LevelReading.h"

namespace vornak::editor {

// The level a level maker is editing: its content, its undo stack, and loading and saving. It
// knows nothing of widgets. Opening reads the folder with the game's own loader, so that what the
// editor shows is what will be played, even where the files look otherwise (a row that lost its
// trailing spaces). Saving writes every file in one form, atomically.
class LevelDocument {
  public:
    // Where saving writes a file; tests replace it to make writes fail.
    using WriteFunction = FileReplacement::WriteFunction;
    // Where saving renames a written file over the old one; tests replace it to make one fail.
    using RenameFunction = FileReplacement::RenameFunction;

    LevelDocument();

    // An untitled level: all road ('.'), no walls, cars at the top left; its pictures come from
    // pictureFolder until it is first saved.
    void StartNew(const std::filesystem::path& pictureFolder);
    // Reads the level in folder as the game would. Never writes. Problems that stop the game are
    // the level checker's to list; whatever could be read is kept.
    void Open(const std::filesystem::path& folder);

    const LevelContent& Content() const { return content_; }
    const std::filesystem::path& Folder() const { return folder_; }
    const std::filesystem::path& PictureFolder() const { return pictureFolder_; }
    bool IsUntitled() const { return folder_.empty(); }
    // A stroke under way that has changed something counts, before it is an undo step.
    // A rewrite still to be asked about is not: closing without saving loses nothing of it.
    bool IsModified() const {
        return !undoStack_.isClean() || (inStroke_ && !(content_ == strokeStart_));
    }
    // Files whose bytes the first save changes beyond the level maker's edits, with the reason.
    std::vector<std::string> Rewrites() const;
    // A car whose lines the game could not read, kept as they were until the car is placed.
    bool IsUnread(int car) const {
        return content_.unreadCarLines[static_cast<std::size_t>(car - 1)].has_value();
    }

    // Edits. Between BeginStroke and EndStroke they make one undo step; outside, each is one.
    // Opening, starting a new level and saving end a stroke first.
    void BeginStroke(const QString& name);
    void EndStroke();
    void SetTile(int index, char tile);
    void SetWall(int index, bool wall);
    void SetCarCell(int car, int column, int row);
    void SetCarHeading(int car, const std::string& heading);
    void Fill(int index, char tile);
    // Cut and Delete: the cells cleared as ClearArea says.
    void Clear(const CellArea& area, const QString& name);
    void Paste(const Clip& clip, int column, int row);
    // The selection's cells alone when there is one, wrapping within it, else the whole level.
    // False, with nothing changed, where a short tile map ends inside the selection and the
    // move would give tiles to cells outside it.
    bool Shift(int columns, int rows, const std::optional<CellArea>& area = std::nullopt);
    bool Mirror(bool leftRight, const std::optional<CellArea>& area = std::nullopt);

    // When on (the default), a painted cell takes its tile's kind as its wall state: the kind
    // the level gives the tile, or for a tile the level does not use yet, the kind fallback
    // gives it. Kinds are taken when a stroke starts and hold for the whole stroke.
    void SetWallsFollowTiles(bool follow) { wallsFollowTiles_ = follow; }
    bool WallsFollowTiles() const { return wallsFollowTiles_; }
    void SetFallbackKinds(const TileKinds& fallback) { fallbackKinds_ = fallback; }

    QUndoStack& UndoStack() { return undoStack_; }

    // A save, planned before anything is asked or written: every file it writes, with its bytes
    // (none for one it removes) and the state it found there, which the commit expects to
    // replace, and what the level maker must be asked about first.
    struct SavePlan {
        struct File {
            std::string name;
            std::optional<std::string> bytes;
            DiskState found;
        };
        struct Question {
            std::string name;  // a file's name, or the folder's path
            std::string why;
        };
        std::filesystem::path folder;
        std::vector<File> files;
        // Level files and pictures in another folder that the level does not have, and would
        // take on there; removed only when the level maker says so.
        std::vector<File> extras;
        bool removeExtras = false;
        std::vector<Question> questions;
        // Why this save cannot be made at all; nothing is asked then.
        std::string refusal;
    };
    // Whether a folder takes two names that differ only in case for one file; tests stand in
    // for the probe that asks the folder itself.
    using CaseProbe = std::function<bool(const std::filesystem::path& folder)>;
    SavePlan PlanSave(const std::filesystem::path& folder, const CaseProbe& foldsCase = {}) const;
    // Writes what the plan says, as long as every file is still as the plan found it. Returns
    // an empty string, or what failed; ChangedInSave then names the files that another program
    // changed in the meantime, to be asked about again.
    std::string CommitSave(const SavePlan& plan, const WriteFunction& write = {},
                           const RenameFunction& rename = {});
    const std::vector<std::string>& ChangedInSave() const { return changedInSave_; }
    // Whether a save into folder is one into the level's own folder.
    bool SavesInPlace(const std::filesystem::path& folder) const;

    // Writes the level into folder in one replacement: the pictures still to be written (imports
    // and pictures an undo brought back, or removed, since the last save) or, when the folder is
    // not the picture folder, every picture of the palette; then the three level files. A picture
    // is written by the first save after it changes in the editor, and never again: what another
    // program does to it afterwards stays. A failure while reading or writing leaves every old
    // file whole; a failed rename names the files already saved and those still as they were.
    // Files whose content would not change are not touched; a file that is read-only or a link is
    // refused. Returns an empty string, or what failed.
    // This is PlanSave and CommitSave without a question, as a level maker who says yes.
    std::string Save(const std::filesystem::path& folder, const WriteFunction& write = {},
                     const RenameFunction& rename = {});
    // The files a save into folder would replace or remove that hold bytes the editor never read
    // or wrote there: changed by another program since, or, in another folder, simply different;
    // then those there that the level would take on. The level maker is asked before they go.
    std::vector<std::string> FilesSaveWouldReplace(const std::filesystem::path& folder) const;

    // The level as it stands, unsaved edits included, written whole into the empty folder, for
    // playing. Returns an empty string, or what failed; then the folder must not be played.
    std::string WriteSnapshot(const std::filesystem::path& folder) const;
    // The level files by name with the bytes a save writes.
    std::vector<std::pair<std::string, std::string>> LevelFiles() const;
    // The palette: the pictures of the picture folder and those imported since, by name.
    std::vector<std::filesystem::path> PictureNames() const;
    // Pictures by file name ("Tilex.bmp") with their bytes, or none for one not in the level.
    using Pictures = std::map<std::string, std::optional<std::string>>;
    // The pictures the level maker set in the editor since the level was opened: they show at
    // once and undo like any edit, apart from the level's content.
    const Pictures& HeldPictures() const { return pictures_; }
    // The pending file writes: the held pictures that differ from what the editor last read or
    // wrote in the folder. A save consumes them.
    Pictures PendingPictures() const;
    // Edits kept from an editor that ended without saving, put on the level as one undo step.
    void Recover(const LevelContent& content, const Pictures& pictures);
    // Names of the files of the level's folder that another program changed, added or removed
    // since the editor last read or wrote them.
    std::vector<std::string> ChangedOnDisk() const;
    // An import: pictures by file name with their bytes, as one undo step, which takes back the
    // pictures they replace even after a save. One over a picture the editor cannot read is
    // refused, since its undo could not bring it back; returns why, or an empty string.
    std::string AddPictures(const std::map<std::string, std::string>& pictures,
                            const QString& name);

    // The bytes each file is written with: 15 lines of 20 characters (the tile map's last line
    // shorter when it holds fewer than 300 tiles), every space kept, and six lines of Cars.txt,
    // all ending in CR LF.
    std::string TilesMapBytes() const;
    std::string BlocksMapBytes() const;
    std::string CarsBytes() const;

    // Called after every change of content: an edit, an undo or redo, an open.
    std::function<void()> changed;

  private:
    friend class SnapshotCommand;
    friend class PictureCommand;
    void PutPictures(const Pictures& pictures);
    void Apply(const LevelContent& content);
    void Change(const QString& name, const std::function<void(LevelContent&)>& edit);
    void NoteRewrites();
    DiskState Known(const std::string& name) const;
    MirrorPartners FindMirrorPartners(bool leftRight) const;
    void PlanPictures(SavePlan& plan, bool inPlace) const;
    void TakeBackReplaced(const std::string& name, const DiskState& replaced);
    void Hold(const std::filesystem::path& folder);

    LevelContent content_;
    std::filesystem::path folder_;
    std::filesystem::path pictureFolder_;
    // What each file of the folder held when the editor last read or wrote it, by name: the
    // held copy of every picture, which a save into another folder falls back on.
    std::map<std::string, DiskState> known_;
    // The folder as it was opened or saved, by device and inode: one that took its name since
    // is not the level's.
    std::pair<unsigned long long, unsigned long long> folderIdentity_{};
    std::unique_ptr<FolderHold> hold_;
    std::vector<std::string> changedInSave_;
    Pictures pictures_;
    std::vector<std::string> rewrites_;
    std::map<std::string, std::string> unreadable_;  // file name -> why the game cannot read it
    QUndoStack undoStack_;
    bool inStroke_ = false;
    LevelContent strokeStart_;
    QString strokeName_;
    bool wallsFollowTiles_ = true;
    TileKinds fallbackKinds_{};
    TileKinds strokeKinds_{};
    const TileKinds* PaintKinds();
    TileKinds KindsNow() const;
};

// The tile character whose picture a path names ("Tile" + character + ".bmp", a byte above 127
// written in UTF-8), or 0 when the path names none.
char TileCharacterOf(const std::filesystem::path& picture);
// Whether a file name is one of the pictures a level may hold: a tile's, or a car's.
bool IsPictureName(const std::filesystem::path& name);
// Whether a file name is one of the three text files of a level.
bool IsLevelFileName(const std::filesystem::path& name);

}  // namespace vornak::editor
