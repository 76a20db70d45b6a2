// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vornak::editor {

// The one way the editor writes files: every new file is written in full beside the one it
// replaces, with that file's permissions, and flushed to disk; only then are they renamed into
// place, one at a time, in the order they were added. A link or a read-only file is never
// replaced or written through: the whole replacement is refused before anything is written.
class FileReplacement {
  public:
    // Where the bytes go and how a written file is renamed; tests replace them to make a write
    // or a rename fail.
    using WriteFunction = std::function<long(int descriptor, const void* bytes, std::size_t size)>;
    using RenameFunction =
        std::function<int(const std::filesystem::path& from, const std::filesystem::path& to)>;

    explicit FileReplacement(WriteFunction write = {}, RenameFunction rename = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // A file that already holds exactly these bytes is left alone.
    void Add(const std::filesystem::path& target, std::string bytes);
    // A file that goes once every other file is in place; one already gone is no failure.
    void Remove(const std::filesystem::path& target);
    // Returns an empty string, or what failed. A failure before the renames leaves every file
    // as it was; a failed rename or removal names the files already replaced and those still
    // as they were.
    std::string Commit();

  private:
    struct Pending {
        std::filesystem::path target;
        std::string bytes;
        std::filesystem::path temporary;
        bool remove = false;
    };
    std::string WriteTemporary(Pending& file);

    WriteFunction write_;
    RenameFunction rename_;
    std::vector<Pending> files_;
};

// Writes a file that must not exist yet, in full; returns an empty string, or what failed.
std::string WriteNewFile(const std::filesystem::path& target, const std::string& bytes);

}  // namespace vornak::editor
