// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vornak::editor {

// A file as a save finds it, or expects to. A plain file is known by its bytes, never by its
// times alone (FAT keeps them to 2 s); one the editor cannot read is known by its type, size and
// times, and is never taken for a file that is not there.
struct DiskState {
    enum class Kind { Absent, Plain, Unreadable };
    Kind kind = Kind::Absent;
    std::string bytes;  // a plain file's
    unsigned type = 0;  // an unreadable file's: S_IFMT bits, size, and times in nanoseconds
    long long size = 0;
    long long modified = 0;
    long long changed = 0;

    static DiskState Holding(std::string bytes) {
        DiskState state;
        state.kind = Kind::Plain;
        state.bytes = std::move(bytes);
        return state;
    }
    bool operator==(const DiskState& other) const = default;
};
// A plain file of at most largest bytes that this user can read is read whole; anything else
// that is there is recorded as unreadable. Never follows a link, never waits on a pipe.
DiskState ReadDiskState(const std::filesystem::path& file, std::size_t largest);
// What a save writes over a file: "absent", or why the editor cannot read it.
std::string DescribeDiskState(const DiskState& state);

// The one way the editor writes files: every new file is written in full beside the one it
// replaces, with that file's permissions (and, where root saves, its owner), and flushed to
// disk; only then are they renamed into place, one at a time, in the order they were added. A
// link, a file with other hard links and a file this user may not write are never replaced or
// written through: the whole replacement is refused before anything is written. A file added
// with the state it is expected to hold is checked once all new files are written, and once
// more just before its own rename: a change stops the replacement there.
class FileReplacement {
  public:
    // Where the bytes go and how a written file is renamed; tests replace them to make a write
    // or a rename fail, or to change a file on disk between the steps.
    using WriteFunction = std::function<long(int descriptor, const void* bytes, std::size_t size)>;
    using RenameFunction =
        std::function<int(const std::filesystem::path& from, const std::filesystem::path& to)>;

    explicit FileReplacement(WriteFunction write = {}, RenameFunction rename = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // A file that already holds exactly these bytes is left alone.
    void Add(const std::filesystem::path& target, std::string bytes);
    void Add(const std::filesystem::path& target, std::string bytes, DiskState expected);
    // A file that goes once every other file is in place; one already gone is no failure.
    void Remove(const std::filesystem::path& target);
    void Remove(const std::filesystem::path& target, DiskState expected);
    // Returns an empty string, or what failed. A failure before the renames leaves every file
    // as it was; a failed rename or removal names the files already replaced and those still
    // as they were.
    std::string Commit();
    // The files that a failed Commit found changed from what they were expected to hold.
    const std::vector<std::filesystem::path>& Changed() const { return changed_; }

    // The prefix and middle of every temporary file's name: ".<name>.vornak-save-XXXXXX".
    static constexpr const char* TemporaryMark = ".vornak-save-";

  private:
    struct Pending {
        std::filesystem::path target;
        std::string bytes;
        std::filesystem::path temporary;
        bool remove = false;
        bool checked = false;
        DiskState expected;
    };
    std::string WriteTemporary(Pending& file);
    bool StillAsExpected(const Pending& file) const;

    WriteFunction write_;
    RenameFunction rename_;
    std::vector<Pending> files_;
    std::vector<std::filesystem::path> changed_;
};

// Writes a file that must not exist yet, in full; returns an empty string, or what failed.
std::string WriteNewFile(const std::filesystem::path& target, const std::string& bytes);

// An editor's hold on a level folder while it is open, kept outside the level: a lock in
// $XDG_RUNTIME_DIR (or the temporary folder) named by the folder's device and inode. Only when
// no other editor holds the folder does a hold remove the temporary files that a killed save
// left there, those over an hour old.
class FolderHold {
  public:
    FolderHold() = default;
    explicit FolderHold(const std::filesystem::path& folder);
    ~FolderHold();
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;

    void RemoveLeftovers() const;
    static std::filesystem::path LockPath(const std::filesystem::path& folder);

  private:
    std::filesystem::path folder_;
    int lock_ = -1;
};

}  // namespace vornak::editor
