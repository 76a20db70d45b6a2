// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "GameSession.h"
#include "GameState.h"
#include "LevelLoader.h"
#include "Playfield.h"
#include "WindowLayout.h"
#include "WindowOperations.h"

class QPushButton;

namespace vornak {

class KeyReceiver;
class RunButton;

// The game's only window. It turns Qt's input and time into the five events of the game logic,
// and offers that logic its ten operations; it holds no rules of its own.
class frmGame : public QWidget, public WindowOperations {
  public:
    using FailureReporter = std::function<void(const QString& message)>;

    static constexpr int ClientWidth = vornak::ClientWidth;
    static constexpr int ClientHeight = vornak::ClientHeight;

    // The level checker renders levels without creating their missing map files.
    explicit frmGame(std::filesystem::path programDir,
                     MissingMapFile missingMapFile = MissingMapFile::CreateEmpty);
    ~frmGame() override;

    // Loads the level before the window is first shown. Returns false after reporting a failure.
    bool Form_Load();
    // Opens the window at the zoom that suits the screen, centred on it.
    void ShowCentred();

    // The largest whole zoom at which the window takes at most half the screen each way, so that
    // a large screen does not show a postage stamp. At least 1.
    static int ChooseZoom(QSize available);
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }

    // Replaces the message box and the line on stderr, for tests and tools that run without a
    // person at the screen; the reporter is given the failure alone, without the pointer to the
    // checker that players see.
    void SetFailureReporter(FailureReporter reporter) { reportFailure_ = std::move(reporter); }
    bool HasFailed() const { return failed_; }
    // Says a failure on stderr and in a message box, with a pointer to the checker; also for a
    // failure before the window exists.
    static void ReportStartFailure(const QString& message);

    // The window's events; Qt delivers them, and tests may too.
    void cmdRun_Click();
    void tmrMainLoop_Timer();
    void picKeyReceiver_KeyDown(int keyCode, int shift);
    void Form_GotFocus();

    QPushButton* cmdRun() const;
    QWidget* picKeyReceiver() const;
    Playfield* playfield() const { return playfield_; }
    const QTimer& tmrMainLoop() const { return tmrMainLoop_; }
    const GameState& State() const { return session_.State(); }

    void SetTilePicture(int tileIndex, const std::filesystem::path& picture) override;
    void SetCarPicture(int car, const std::filesystem::path& picture) override;
    double CarLeft(int car) const override;
    double CarTop(int car) const override;
    void SetCarLeft(int car, double left) override;
    void SetCarTop(int car, double top) override;
    bool ClockEnabled() const override;
    void SetClockEnabled(bool enabled) override;
    void SetRunCaption(const std::string& caption) override;
    void FocusKeyReceiver() override;

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    bool Delivered(bool ran);
    void Fail(const QString& message);
    void DescribeForScreenReaders();
    static void ShowFailureBox(const QString& message);

    GameSession session_;
    Playfield* playfield_;
    // Created in tab order: the key receiver first, so it holds the focus from start-up.
    KeyReceiver* picKeyReceiver_;
    RunButton* cmdRun_;
    QFont buttonFont_;
    int zoom_ = 1;
    QTimer tmrMainLoop_;
    FailureReporter reportFailure_ = &frmGame::ReportStartFailure;
    bool failed_ = false;
};

}  // namespace vornak
