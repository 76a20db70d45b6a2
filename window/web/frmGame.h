// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ClockSchedule.h"
#include "GameWindow.h"

namespace vornak::web {

// The game's only window in a browser: a canvas, a button and the key bar of the page. It
// turns the page's events into the five events of the game logic and offers that logic the
// clock, the button and the key receiver; the pictures and the events' delivery are the shared
// GameWindow's. It holds no rules of its own.
class frmGame : public GameWindow {
  public:
    // failed runs once the game has stopped with a failure, after the message is shown.
    explicit frmGame(std::function<void()> failed);
    ~frmGame() override;
    frmGame(const frmGame&) = delete;
    frmGame& operator=(const frmGame&) = delete;

    // Shows the loaded level and gives the keys to the players.
    void Show();

    // A key went down while the key bar had the focus.
    void OnKeyDown(const std::string& code, const std::string& key, const std::string& typed,
                   int shift);
    void SetLayoutLetters(LayoutLetters letters) { letters_ = letters; }

    bool ClockEnabled() const override;
    void SetClockEnabled(bool enabled) override;
    void SetRunCaption(const std::string& caption) override;
    void FocusKeyReceiver() override;

  protected:
    void ShowChanges() override;
    void ReportFailure(const std::string& message) override;

  private:
    static void OnTimer(void* self);

    // The area being put on the canvas, in its byte order; room for the whole frame.
    std::vector<std::uint8_t> rgba_;
    std::function<void()> failed_;
    LayoutLetters letters_ = LayoutLetters::Unknown;
    long timer_ = 0;
    OneShotClock clock_;
};

// Shows a failure in the page's message box and on the console.
void ShowMessage(const std::string& message);
// The caption of the page's button, also before any game runs.
void ShowRunCaption(const std::string& caption);

}  // namespace vornak::web
