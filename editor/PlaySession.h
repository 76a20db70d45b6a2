// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "LevelDocument.h"
#include "PlayFolder.h"

namespace vornak::editor {

// The game playing the level an editor holds, as it stands: the level goes into a play folder of
// its own, and the game is started on that folder.
class PlaySession : public QObject {
  public:
    explicit PlaySession(std::filesystem::path game);
    ~PlaySession() override;
    PlaySession(const PlaySession&) = delete;
    PlaySession& operator=(const PlaySession&) = delete;

    // Starts the game on the level as it stands, in the first place where the level can be
    // written whole. Returns why it could not, for each place tried, or nothing once the game
    // runs.
    QString Start(const LevelDocument& document);
    QProcess* Game() const { return game_.get(); }
    // The folder the game plays, while it runs.
    std::filesystem::path Folder() const {
        return folder_ ? folder_->Path() : std::filesystem::path();
    }

    // Stops the game; its folder goes.
    void Stop();
    // Lets the game outlive the editor: the game keeps its folder, locked while it runs, for
    // the next start of an editor to remove.
    void LeaveRunning();

    // Told the game's own message when it stops with a failure, or the signal that ended it.
    std::function<void(const QString& message)> failed;

  private:
    QString StartIn(const std::filesystem::path& place, const LevelDocument& document);

    std::filesystem::path gamePath_;
    std::unique_ptr<QProcess> game_;
    std::unique_ptr<PlayFolder> folder_;
};

}  // namespace vornak::editor
