// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QWidget>

#include "PlayfieldFrame.h"

namespace vornak {

// The one painted surface for all picture elements. The shared PlayfieldFrame composes them at
// the game's own pixels, as on every system; this widget only puts that frame on the screen in
// one nearest-neighbour draw, at zoom x device scale.
class Playfield : public QWidget {
  public:
    // The widget is zoom times as large as the frame, which must outlive it.
    Playfield(QWidget* parent, PlayfieldFrame& frame);

    // Device pixels per game pixel: a whole number, so that every game pixel becomes a square
    // block of device pixels.
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
    QRegion ComposeChanges();
    QRectF Shown() const;
    void TakeBackground();

    PlayfieldFrame& frame_;
    // The frame's own pixels, seen as an image without a copy.
    QImage view_;
    int zoom_ = 1;
};

}  // namespace vornak
