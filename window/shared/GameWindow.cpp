// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameWindow.h"

#include <stdexcept>

#include "GameError.h"
#include "Picture.h"
#include "WindowLayout.h"

namespace vornak {

namespace {

void CheckCar(int car) {
    if (car < 1 || car > CarCount) {
        throw std::out_of_range("there is no car " + std::to_string(car));
    }
}

}  // namespace

GameWindow::GameWindow(std::filesystem::path programDir, MissingMapFile missingMapFile)
    : session_(std::move(programDir), missingMapFile), frame_(ClientWidth, ClientHeight) {}

bool GameWindow::Form_Load() {
    return Delivered(session_.Form_Load(*this));
}

void GameWindow::cmdRun_Click() {
    Delivered(session_.cmdRun_Click(*this));
}

void GameWindow::tmrMainLoop_Timer() {
    Delivered(session_.tmrMainLoop_Timer(*this));
}

void GameWindow::picKeyReceiver_KeyDown(int keyCode, int shift) {
    Delivered(session_.picKeyReceiver_KeyDown(keyCode, shift));
}

void GameWindow::Form_GotFocus() {
    Delivered(session_.Form_GotFocus(*this));
}

void GameWindow::ClickOutsideControls() {
    if (!failed_) {
        FocusKeyReceiver();
    }
}

bool GameWindow::Delivered(bool ran) {
    if (ran) {
        ShowChanges();
        return true;
    }
    StopWithFailure(session_.Failure());
    return false;
}

void GameWindow::StopWithFailure(const std::string& message) {
    if (!failed_) {
        failed_ = true;
        SetClockEnabled(false);
        ReportFailure(message);
    }
}

void GameWindow::SetTilePicture(int tileIndex, const std::filesystem::path& picture) {
    if (tileIndex < 0 || tileIndex >= TileCount) {
        throw GameError(picture, NoSuchTileReason(tileIndex));
    }
    frame_.SetTilePicture(tileIndex, DecodePicture(picture, PictureFormat::Bmp));
}

void GameWindow::SetCarPicture(int car, const std::filesystem::path& picture) {
    CheckCar(car);
    frame_.SetCarPicture(car, DecodePicture(picture, PictureFormat::Gif));
}

double GameWindow::CarLeft(int car) const {
    CheckCar(car);
    return frame_.CarLeft(car);
}

double GameWindow::CarTop(int car) const {
    CheckCar(car);
    return frame_.CarTop(car);
}

void GameWindow::SetCarLeft(int car, double left) {
    CheckCar(car);
    frame_.SetCarPosition(car, left, frame_.CarTop(car));
}

void GameWindow::SetCarTop(int car, double top) {
    CheckCar(car);
    frame_.SetCarPosition(car, frame_.CarLeft(car), top);
}

}  // namespace vornak
