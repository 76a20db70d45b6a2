// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "LevelEdits.h"

namespace vornak::editor {

// A level file's bytes, through the game's own opener, so that a named pipe or a device in its
// place never keeps the editor waiting; none for anything but a plain file.
std::optional<std::string> ReadPlainFile(const std::filesystem::path& path);

// A level folder as the game reads it, each file on its own as the checker does: a fault in one
// file leaves the others readable, and whatever came before the fault in a file is kept.
struct FolderReading {
    LevelContent content;
    // File name -> why the game cannot read it.
    std::map<std::string, std::string> unreadable;
};
FolderReading ReadLevelFolder(const std::filesystem::path& folder);

}  // namespace vornak::editor
