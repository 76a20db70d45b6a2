// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <map>
#include <string>

#include "FileOpener.h"

namespace vornak {

// Files held in memory, for checking a level that is not on disk, and for tests. Paths are
// compared exactly as given.
class MemoryFileOpener : public FileOpener {
  public:
    void Put(const std::filesystem::path& file, std::string bytes);
    // Something at the path that is not a plain file: a folder, a pipe, ...
    void PutKind(const std::filesystem::path& file, FileKind kind);
    void Remove(const std::filesystem::path& file);
    bool Holds(const std::filesystem::path& file) const { return entries_.count(file) != 0; }

    OpenedFile Open(const std::filesystem::path& file) override;
    void CreateEmpty(const std::filesystem::path& file) override;

  private:
    struct Entry {
        FileKind kind = FileKind::PlainFile;
        std::string bytes;
    };
    std::map<std::filesystem::path, Entry> entries_;
};

}  // namespace vornak
