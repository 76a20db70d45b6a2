// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ClockSchedule.h"
#include "GameWindow.h"

namespace vornak {

// The game's only window, on the Win32 API. It turns Windows' messages into the five events of
// the game logic and offers that logic the clock, the button and the key receiver; the pictures
// and the events' delivery are the shared GameWindow's. It holds no rules of its own.
class frmGame : public GameWindow {
  public:
    explicit frmGame(std::filesystem::path programDir);
    ~frmGame() override;
    frmGame(const frmGame&) = delete;
    frmGame& operator=(const frmGame&) = delete;

    // Opens the window at the zoom that suits its monitor, centred on the work area.
    void ShowCentred();
    // Delivers Windows' messages until the window closes; returns the exit status.
    int RunMessageLoop();

    // Says a failure on stderr and in a message box, owned by owner where there is one; also for
    // a failure before the window exists.
    static void ReportStartFailure(const std::string& message, HWND owner = nullptr);

    bool ClockEnabled() const override;
    void SetClockEnabled(bool enabled) override;
    void SetRunCaption(const std::string& caption) override;
    void FocusKeyReceiver() override;

  protected:
    void ShowChanges() override;
    void ReportFailure(const std::string& message) override;

  private:
    static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyReceiverProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam);
    static LRESULT CALLBACK RunButtonProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    // Runs a message's handler; nothing the handler throws may cross into Windows' code.
    template <typename Handler>
    static LRESULT Guarded(HWND window, Handler&& handler);
    LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyReceiverMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRunButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnTimer();
    void OnDpiChanged(const RECT* suggested);
    void PaintKeyReceiver();

    void Rescale(const RECT* suggested);
    int ChooseWindowZoom() const;
    RECT WorkArea() const;
    void MakeBackBuffer();
    void MakeButtonFont();
    void LayOutChildren();
    void PlaceWindow(const RECT* suggested);
    void ScaleIntoBackBuffer(const FrameRect& area, RECT& onScreen);

    HWND form_ = nullptr;
    HWND cmdRun_ = nullptr;
    HWND picKeyReceiver_ = nullptr;
    WNDPROC buttonProcedure_ = nullptr;
    HFONT buttonFont_ = nullptr;

    // Device pixels per game pixel, a whole number at any DPI.
    int zoom_ = 1;
    int dpi_ = 96;
    HDC backBuffer_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    std::uint32_t* backPixels_ = nullptr;

    OneShotClock clock_;
    bool finePeriod_ = false;
    bool pressedByMouse_ = false;
};

}  // namespace vornak
