// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vornak::editor {

// A private folder that holds a level while the game plays it, and goes when the game ends. It
// holds a lock for as long as an editor or its game uses it, from before the folder takes its
// play-folder name: a folder under that name with a free lock is one that everybody has left,
// however they ended.
class PlayFolder {
  public:
    // Makes a play folder in place; throws std::system_error when it cannot.
    explicit PlayFolder(const std::filesystem::path& place);
    // Removes the folder, then gives up its lock.
    ~PlayFolder();
    PlayFolder(const PlayFolder&) = delete;
    PlayFolder& operator=(const PlayFolder&) = delete;

    const std::filesystem::path& Path() const { return folder_; }
    // Gives up the editor's lock and leaves the folder, for the game that still holds it.
    void Leave();

    // $XDG_RUNTIME_DIR, then $TMPDIR (or /tmp), then ~/.cache/vornak-editor.
    static std::vector<std::filesystem::path> Places();
    // Removes the play folders in those places that no editor or game holds any more, and those
    // a killed editor left half made; never one made in the last minute, and never one whose
    // marker does not match: a level maker's copy, or a folder moved or renamed, stays.
    static void RemoveLeftovers();
    // What a play folder's lock file says of it: the play folder's path, its device and inode,
    // and the user, as they are now.
    static std::string MarkerOf(const std::filesystem::path& folder);

  private:
    std::filesystem::path folder_;
    int lock_ = -1;
};

}  // namespace vornak::editor
