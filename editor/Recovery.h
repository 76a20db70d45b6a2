// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace vornak::editor {

class LevelDocument;

// The unsaved level kept where a crash of the editor or the machine cannot take it: in
// $XDG_STATE_HOME/vornak-editor (~/.local/state/vornak-editor), never in the level. Each running
// editor keeps its own, locked while it runs; one whose lock is free was left by an editor that
// ended without saving or discarding.
class Recovery {
  public:
    Recovery() = default;
    ~Recovery();
    Recovery(const Recovery&) = delete;
    Recovery& operator=(const Recovery&) = delete;

    static std::filesystem::path Place();

    // Writes the document whole; an earlier copy stays until the new one is complete. Returns an
    // empty string, or what failed.
    std::string Keep(const LevelDocument& document);
    // Nothing unsaved is left: the copy goes.
    void Discard();

    struct Left {
        std::filesystem::path folder;  // the copy
        std::filesystem::path level;   // the level's folder, or empty for an untitled level
        std::filesystem::path pictureFolder;
        std::chrono::system_clock::time_point kept;
    };
    // Copies that no running editor holds, newest first.
    static std::vector<Left> LeftBehind();
    // Puts a copy into the document: the level opened again, and the kept edits as one undo
    // step on it. Returns an empty string, or why it could not.
    static std::string Restore(const Left& left, LevelDocument& document);
    static void Remove(const Left& left);

  private:
    std::filesystem::path folder_;
    int lock_ = -1;
};

}  // namespace vornak::editor
