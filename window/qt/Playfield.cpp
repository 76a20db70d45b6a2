// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Playfield.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vornak {

Playfield::Playfield(QWidget* parent, PlayfieldFrame& frame)
    : QWidget(parent),
      frame_(frame),
      view_(reinterpret_cast<const uchar*>(frame.Pixels().data()), frame.Width(), frame.Height(),
            QImage::Format_RGB32) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    TakeBackground();
    SetZoom(1);
}

void Playfield::SetZoom(int zoom) {
    zoom_ = std::max(zoom, 1);
    const QSizeF shown = Shown().size();
    resize(static_cast<int>(std::ceil(shown.width() - 1e-9)),
           static_cast<int>(std::ceil(shown.height() - 1e-9)));
    update();
}

// Where the frame lies in logical pixels: zoom device pixels per game pixel, so at a
// fractional desktop scale a game pixel is still a square of whole device pixels.
QRectF Playfield::Shown() const {
    const double scale = zoom_ / devicePixelRatioF();
    return {0, 0, frame_.Width() * scale, frame_.Height() * scale};
}

QRegion Playfield::ComposeChanges() {
    const double scale = zoom_ / devicePixelRatioF();
    QRegion onScreen;
    for (const FrameRect& area : frame_.ComposeChanges()) {
        onScreen +=
            QRectF(area.left * scale, area.top * scale, area.width * scale, area.height * scale)
                .toAlignedRect();
    }
    return onScreen;
}

void Playfield::PaintChanges() {
    const QRegion onScreen = ComposeChanges();
    if (onScreen.isEmpty()) {
        return;
    }
    if (isVisible()) {
        repaint(onScreen);
    } else {
        update(onScreen);
    }
}

QImage Playfield::Frame() {
    update(ComposeChanges());
    return view_.copy();
}

// One scaled draw of the whole frame, clipped to what needs painting: every screen pixel then
// takes its colour from the same game pixel whatever the clip, so a partial repaint always
// matches a full one, at any device scale.
void Playfield::paintEvent(QPaintEvent* event) {
    const QRegion late = ComposeChanges();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // At a fractional desktop scale the widget's last device column or row can lie past the
    // frame's whole game pixels; it is opaque, so nothing else paints that edge. It takes the
    // background, on every paint alike, painted in device pixels since it is less than a
    // logical one.
    if (!event->region().isEmpty()) {
        const double ratio = devicePixelRatioF();
        const int right = frame_.Width() * zoom_;
        const int bottom = frame_.Height() * zoom_;
        const int wide = static_cast<int>(std::ceil((width() + 1) * ratio));
        const int high = static_cast<int>(std::ceil((height() + 1) * ratio));
        painter.save();
        painter.scale(1 / ratio, 1 / ratio);
        painter.fillRect(QRect(right, 0, wide - right, high), palette().window());
        painter.fillRect(QRect(0, bottom, right, high - bottom), palette().window());
        painter.restore();
    }
    painter.drawImage(Shown(), view_);
    if (!late.isEmpty()) {
        update(late);
    }
}

void Playfield::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        TakeBackground();
        update();
    }
}

void Playfield::TakeBackground() {
    frame_.SetBackground(static_cast<std::uint32_t>(palette().window().color().rgb()));
}

}  // namespace vornak
