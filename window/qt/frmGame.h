// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "GameWindow.h"
#include "LevelLoader.h"
#include "Playfield.h"
#include "WindowLayout.h"

class QPushButton;

namespace vornak {

class KeyReceiver;
class RunButton;

// The game's only window on Qt. It turns Qt's input and time into the five events of the game
// logic, and offers that logic the clock, the button and the key receiver; the pictures and the
// events' delivery are the shared GameWindow's. It holds no rules of its own.
class frmGame : public QWidget, public GameWindow {
  public:
    using FailureReporter = std::function<void(const QString& message)>;

    static constexpr int ClientWidth = vornak::ClientWidth;
    static constexpr int ClientHeight = vornak::ClientHeight;

    // The level checker renders levels without creating their missing map files.
    explicit frmGame(std::filesystem::path programDir,
                     MissingMapFile missingMapFile = MissingMapFile::CreateEmpty);
    ~frmGame() override;

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
    // Says a failure on stderr and in a message box, with a pointer to the checker; also for a
    // failure before the window exists.
    static void ReportStartFailure(const QString& message);

    QPushButton* cmdRun() const;
    QWidget* picKeyReceiver() const;
    Playfield* playfield() const { return playfield_; }
    const QTimer& tmrMainLoop() const { return tmrMainLoop_; }

    bool ClockEnabled() const override;
    void SetClockEnabled(bool enabled) override;
    void SetRunCaption(const std::string& caption) override;
    void FocusKeyReceiver() override;

  protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void ShowChanges() override;
    void ReportFailure(const std::string& message) override;

  private:
    void DescribeForScreenReaders();
    static void ShowFailureBox(const QString& message);

    Playfield* playfield_;
    // Created in tab order: the key receiver first, so it holds the focus from start-up.
    KeyReceiver* picKeyReceiver_;
    RunButton* cmdRun_;
    QFont buttonFont_;
    int zoom_ = 1;
    QTimer tmrMainLoop_;
    FailureReporter reportFailure_ = &frmGame::ReportStartFailure;
};

}  // namespace vornak
