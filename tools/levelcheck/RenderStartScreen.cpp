// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "RenderStartScreen.h"

#include "GameState.h"
#include "frmGame.h"

namespace vornak {

QImage RenderStartScreen(const std::filesystem::path& folder, std::string& failure) {
    frmGame game(folder.empty() ? "." : folder, MissingMapFile::ReadAsEmpty);
    game.SetFailureReporter(
        [&failure](const QString& message) { failure = message.toLocal8Bit().toStdString(); });
    if (!game.Form_Load()) {
        return {};
    }
    return game.playfield()
        ->grab(QRect(0, 0, GridColumns * CellSize, GridRows * CellSize))
        .toImage();
}

}  // namespace vornak
