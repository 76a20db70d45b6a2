// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "DocumentFiles.h"

#include "GameError.h"
#include "LevelLoader.h"
#include "SystemFiles.h"

namespace vornak::editor {

DocumentFiles::DocumentFiles(const LevelDocument& document) : document_(document) {
    const std::filesystem::path& folder = document.PictureFolder();
    for (const auto& [name, bytes] : document.LevelFiles()) {
        memory_.Put(folder / name, bytes);
    }
    for (const auto& [name, bytes] : document.PendingPictures()) {
        if (bytes) {
            memory_.Put(folder / name, *bytes);
        } else {
            removed_.insert(folder / name);
        }
    }
}

OpenedFile DocumentFiles::Open(const std::filesystem::path& file) {
    if (memory_.Holds(file)) {
        return memory_.Open(file);
    }
    if (removed_.count(file) != 0) {
        return {};
    }
    const std::filesystem::path name = file.filename();
    // A level file the document does not write (a Cars.txt that stays missing) is missing here
    // too, whatever the folder on disk holds.
    for (const char* levelFile : {TilesMapFileName, BlocksMapFileName, CarsFileName}) {
        if (name == levelFile) {
            return {};
        }
    }
    return SystemFiles().Open(file);
}

void DocumentFiles::CreateEmpty(const std::filesystem::path& file) {
    throw GameError(file, "is missing");
}

LevelSource DocumentFiles::Source() {
    return LevelSource{document_.PictureFolder(), "", *this, document_.PictureNames(), {}};
}

}  // namespace vornak::editor
