// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <set>

#include "LevelCheck.h"
#include "LevelDocument.h"
#include "MemoryFileOpener.h"

namespace vornak::editor {

// The level as it stands, unsaved edits included, as the files the game's loader reads: the
// level files and the pictures still to be written from memory, in the picture folder's place,
// and every other picture from that folder on disk, as other programs may have changed it. Checking
// a level or showing an import needs nothing written.
class DocumentFiles : public FileOpener {
  public:
    explicit DocumentFiles(const LevelDocument& document);

    OpenedFile Open(const std::filesystem::path& file) override;
    // The game creates a missing map; a level in memory is never written to.
    void CreateEmpty(const std::filesystem::path& file) override;

    // The level for the checker: its files through this opener, and the palette's names.
    LevelSource Source();

  private:
    const LevelDocument& document_;
    MemoryFileOpener memory_;
    std::set<std::filesystem::path> removed_;  // pictures taken out of the level, not yet saved
};

}  // namespace vornak::editor
