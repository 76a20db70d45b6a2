// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ClockSchedule.h"
#include "GameSession.h"
#include "GameState.h"
#include "PlayfieldFrame.h"
#include "WindowOperations.h"

namespace vornak {

// The game's only window, on the Win32 API. It turns Windows' messages into the five events of
// the game logic and offers that logic its ten operations; it holds no rules of its own.
class frmGame : public WindowOperations {
  public:
    explicit frmGame(std::filesystem::path programDir);
    ~frmGame() override;
    frmGame(const frmGame&) = delete;
    frmGame& operator=(const frmGame&) = delete;

    // Loads the level before the window is first shown. Returns false after reporting a failure.
    bool Form_Load();
    // Opens the window at the zoom that suits its monitor, centred on the work area.
    void ShowCentred();
    // Delivers Windows' messages until the window closes; returns the exit status.
    int RunMessageLoop();

    // For a failure before the window exists: says it on stderr and in a message box.
    static void ReportStartFailure(const std::string& message);

    // The window's events.
    void cmdRun_Click();
    void tmrMainLoop_Timer();
    void picKeyReceiver_KeyDown(int keyCode, int shift);
    void Form_GotFocus();

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

  private:
    static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyReceiverProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam);
    static LRESULT CALLBACK RunButtonProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyReceiverMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRunButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnTimer();
    void OnDpiChanged(const RECT* suggested);
    void PaintKeyReceiver();

    bool Delivered(bool ran);
    void Fail(const std::string& message);
    void PaintChanges();
    void Rescale();
    void ScaleIntoBackBuffer(const FrameRect& area, RECT& onScreen);

    GameSession session_;
    PlayfieldFrame frame_;
    HWND form_ = nullptr;
    HWND cmdRun_ = nullptr;
    HWND picKeyReceiver_ = nullptr;
    WNDPROC buttonProcedure_ = nullptr;
    HFONT buttonFont_ = nullptr;

    // The scale is zoom x dpi / 96: a screen pixel shows the frame pixel its coordinate times
    // 96 / (zoom x dpi) falls in, so a partial repaint always matches a full one.
    int zoom_ = 1;
    int dpi_ = 96;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    std::vector<int> sourceColumn_;
    std::vector<int> sourceRow_;
    HDC backBuffer_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    std::uint32_t* backPixels_ = nullptr;

    bool clockEnabled_ = false;
    ClockSchedule schedule_;
    bool finePeriod_ = false;
    bool pressedByMouse_ = false;
    bool failed_ = false;
};

}  // namespace vornak
