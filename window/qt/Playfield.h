// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QWidget>
#include <array>

#include "GameState.h"

namespace vornak {

// The one painted surface for all picture elements: 300 tiles, then car 2, then car 1 on top.
// It covers the whole client area, because cars may stand anywhere in it.
//
// Everything is composed first into a frame at the game's own pixels, and that frame reaches the
// screen in one nearest-neighbour draw at zoom x device scale. Drawing each picture straight onto
// a screen of fractional scale left seams between tiles, and partial repaints that did not match
// a full one.
class Playfield : public QWidget {
  public:
    // area is the client area in the game's pixels; the widget itself is zoom times as large.
    Playfield(QWidget* parent, QSize area);

    void SetTilePicture(int tileIndex, QImage picture);
    void SetCarPicture(int car, QImage picture);
    QPointF CarPosition(int car) const { return carPositions_.at(car); }
    void SetCarPosition(int car, QPointF position);

    // A whole number, so that every game pixel becomes a square block of screen pixels.
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }

    // Paints what the last handler changed, at once. A clock tick ends with this, so that its
    // frame reaches the screen without another trip through the event loop.
    void PaintChanges();

    // The composed picture at the game's own pixels, as the screen shows it before scaling.
    QImage Frame();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    static QPoint TileOrigin(int tileIndex);
    void UpdateArea(QPointF topLeft, QSize size);
    void ComposeChanges();
    void Compose(const QRect& area);
    QRect OnScreen(const QRect& area) const;

    int zoom_ = 1;
    QImage frame_;
    QRegion changed_;    // game pixels not yet composed into the frame
    QRegion unpainted_;  // game pixels composed but not yet on the screen

    std::array<QImage, TileCount> tiles_;
    std::array<QImage, CarCount + 1> cars_;  // indexed by car number
    std::array<QPointF, CarCount + 1> carPositions_;
};

}  // namespace vornak
