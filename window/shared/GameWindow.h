// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "GameSession.h"
#include "GameState.h"
#include "KeyRules.h"
#include "LevelLoader.h"
#include "PlayfieldFrame.h"
#include "WindowOperations.h"

namespace vornak {

// What every front end's frmGame is before its toolkit: the game session, the picture elements
// composed into one PlayfieldFrame, and the delivery of the five events. A front end adds the
// clock, the button, the key receiver and the screen, and nothing else.
class GameWindow : public WindowOperations {
  public:
    explicit GameWindow(std::filesystem::path programDir,
                        MissingMapFile missingMapFile = MissingMapFile::CreateEmpty);

    // Each event runs in the session; its changes then reach the screen, and the first failure
    // is reported, once. Form_Load returns false after reporting a failure.
    bool Form_Load();
    void cmdRun_Click();
    void tmrMainLoop_Timer();
    void picKeyReceiver_KeyDown(int keyCode, int shift);
    void Form_GotFocus();

    // A click on the playfield or the window's empty part hands the keys back to the players:
    // a Tab pressed by mistake must not leave both cars deaf.
    void ClickOutsideControls();

    bool HasFailed() const { return failed_; }
    const GameState& State() const { return session_.State(); }
    const PlayfieldFrame& Frame() const { return frame_; }

    void SetTilePicture(int tileIndex, const std::filesystem::path& picture) final;
    void SetCarPicture(int car, const std::filesystem::path& picture) final;
    double CarLeft(int car) const final;
    double CarTop(int car) const final;
    void SetCarLeft(int car, double left) final;
    void SetCarTop(int car, double top) final;

  protected:
    PlayfieldFrame& MutableFrame() { return frame_; }
    // Puts what the last handler changed on the screen, from frame_.ComposeChanges().
    virtual void ShowChanges() = 0;
    // Tells the player why the game stopped and ends it; the clock is already stopped. Called
    // once, with the failure as the session names it.
    virtual void ReportFailure(const std::string& message) = 0;

    // Ends the game with a failure that no event handler met, such as a toolkit's own; once.
    void StopWithFailure(const std::string& message);

  private:
    bool Delivered(bool ran);

    GameSession session_;
    PlayfieldFrame frame_;
    bool failed_ = false;
};

}  // namespace vornak
