// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "LevelDocument.h"

namespace vornak::editor {

// The game playing a level the editor holds. The game reads its level only from its own folder,
// so each play gets a private copy of the level and the game, in a play folder that goes when
// the game ends. Each play folder holds a lock for as long as an editor or its game uses it, so
// that folders left by a killed editor can be told from those in use.
class PlaySession : public QObject {
  public:
    explicit PlaySession(std::filesystem::path game);
    ~PlaySession() override;
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;

    // Starts the game on the level as it stands, in the first place where a program may run.
    // Returns why it could not, for each place tried, or nothing once the game runs.
    QString Start(const LevelDocument& document);
    QProcess* Game() const { return game_.get(); }

    // Told the game's own message when it stops with a failure.
    std::function<void(const QString& message)> failed;

    // $XDG_RUNTIME_DIR, then $TMPDIR (or /tmp), then ~/.cache/vornak-editor.
    static std::vector<std::filesystem::path> Places();
    // Removes the play folders in those places that no editor or game holds any more.
    static void RemoveLeftovers();

  private:
    QString StartIn(const std::filesystem::path& place, const LevelDocument& document);
    void RemoveFolder();

    std::filesystem::path gamePath_;
    std::unique_ptr<QProcess> game_;
    std::filesystem::path folder_;
    int lock_ = -1;
};

}  // namespace vornak::editor
