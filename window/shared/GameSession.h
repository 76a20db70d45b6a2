// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <filesystem>
#include <string>

#include "GameState.h"
#include "LevelLoader.h"
#include "WindowOperations.h"

namespace vornak {

// The game as both front ends run it: its state, its folder, and the five events, each run to
// its end. No exception may cross a toolkit's event loop, so each event catches every failure;
// after the first, the game is over and no further event runs.
class GameSession {
  public:
    explicit GameSession(std::filesystem::path programDir,
                         MissingMapFile missingMapFile = MissingMapFile::CreateEmpty);

    // Each returns whether the event ran; false once the game has failed, as Failure() says.
    bool Form_Load(WindowOperations& window);
    bool cmdRun_Click(WindowOperations& window);
    bool tmrMainLoop_Timer(WindowOperations& window);
    bool picKeyReceiver_KeyDown(int keyCode, int shift);
    bool Form_GotFocus(WindowOperations& window);

    const GameState& State() const { return state_; }
    const std::filesystem::path& ProgramDir() const { return programDir_; }
    bool HasFailed() const { return !failure_.empty(); }
    // The failure as the message names it, without the pointer to the checker.
    const std::string& Failure() const { return failure_; }

  private:
    template <typename Handler>
    bool Run(Handler&& handler);

    std::filesystem::path programDir_;
    MissingMapFile missingMapFile_;
    GameState state_;
    std::string failure_;
};

// The level folder a player names on the command line, made absolute. Throws GameError when it
// is no folder.
std::filesystem::path NamedLevelFolder(const std::filesystem::path& given);

}  // namespace vornak
