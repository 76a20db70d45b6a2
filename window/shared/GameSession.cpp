// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameSession.h"

#include <exception>

#include "Controls.h"
#include "GameError.h"
#include "MovementTick.h"
#include "SystemFiles.h"

namespace vornak {

GameSession::GameSession(std::filesystem::path programDir, MissingMapFile missingMapFile)
    : programDir_(std::move(programDir)), missingMapFile_(missingMapFile) {}

template <typename Handler>
bool GameSession::Run(Handler&& handler) {
    if (HasFailed()) {
        return false;
    }
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        failure_ = error.what();
    } catch (...) {
        failure_ = "An unknown error stopped the game.";
    }
    if (failure_.empty()) {
        failure_ = "The game stopped.";
    }
    return false;
}

namespace {

// A folder with none of the level files is no level: the player gave the wrong folder, or the
// game stands alone on a desktop. Creating its missing maps there would only litter it.
void CheckHoldsALevel(FileOpener& files, const std::filesystem::path& folder) {
    for (const char* name : {TilesMapFileName, BlocksMapFileName, CarsFileName}) {
        if (files.Open(folder / name).kind != FileKind::Missing) {
            return;
        }
    }
    throw GameError(folder, std::string("holds no Vornak level: none of ") + TilesMapFileName +
                                ", " + BlocksMapFileName + " and " + CarsFileName + " is there");
}

}  // namespace

std::filesystem::path NamedLevelFolder(const std::filesystem::path& given) {
    std::filesystem::path folder = std::filesystem::absolute(given);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw GameError(folder, "is not a folder; give the folder that holds a level's " +
                                    std::string(TilesMapFileName) + ", " + BlocksMapFileName +
                                    " and " + CarsFileName);
    }
    return folder;
}

bool GameSession::Form_Load(WindowOperations& window) {
    return Run([&] {
        if (missingMapFile_ == MissingMapFile::CreateEmpty) {
            CheckHoldsALevel(SystemFiles(), programDir_);
        }
        LevelLoader(state_, window, SystemFiles(), programDir_, missingMapFile_);
    });
}

bool GameSession::cmdRun_Click(WindowOperations& window) {
    return Run([&] { vornak::cmdRun_Click(window); });
}

bool GameSession::tmrMainLoop_Timer(WindowOperations& window) {
    return Run([&] { MovementTick(state_, window, programDir_); });
}

bool GameSession::picKeyReceiver_KeyDown(int keyCode, int shift) {
    return Run([&] { vornak::picKeyReceiver_KeyDown(state_, keyCode, shift); });
}

bool GameSession::Form_GotFocus(WindowOperations& window) {
    return Run([&] { vornak::Form_GotFocus(window); });
}

}  // namespace vornak
