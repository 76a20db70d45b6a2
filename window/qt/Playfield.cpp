// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "Playfield.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "WindowLayout.h"

namespace vornak {

Playfield::Playfield(QWidget* parent, QSize area)
    : QWidget(parent), frame_(area, QImage::Format_RGB32) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    carPositions_ = {QPointF(), QPointF(imgCarPlaces[0].left, imgCarPlaces[0].top),
                     QPointF(imgCarPlaces[1].left, imgCarPlaces[1].top)};
    changed_ = frame_.rect();
}

QPoint Playfield::TileOrigin(int tileIndex) {
    return {CellSize * (tileIndex % GridColumns), CellSize * (tileIndex / GridColumns)};
}

// A tile never moves, so whatever of its picture lies beyond the client area can never show;
// keeping only the rest bounds the memory of 300 oversized pictures by the window's own size.
void Playfield::SetTilePicture(int tileIndex, QImage picture) {
    QImage& tile = tiles_.at(static_cast<std::size_t>(tileIndex));
    const QPoint origin = TileOrigin(tileIndex);
    const QSize visible = (QRect(origin, picture.size()) & frame_.rect()).size();
    if (visible != picture.size()) {
        picture = visible.isEmpty() ? QImage() : picture.copy(QRect(QPoint(), visible));
    }
    UpdateArea(origin, tile.size());
    tile = std::move(picture);
    UpdateArea(origin, tile.size());
}

void Playfield::SetCarPicture(int car, QImage picture) {
    QImage& image = cars_.at(car);
    UpdateArea(carPositions_.at(car), image.size());
    image = std::move(picture);
    UpdateArea(carPositions_.at(car), image.size());
}

void Playfield::SetCarPosition(int car, QPointF position) {
    QPointF& current = carPositions_.at(car);
    if (current == position) {
        return;
    }
    UpdateArea(current, cars_.at(car).size());
    current = position;
    UpdateArea(current, cars_.at(car).size());
}

void Playfield::SetZoom(int zoom) {
    zoom_ = std::max(zoom, 1);
    resize(frame_.size() * zoom_);
    update();
}

// Car positions come from level files and may lie far outside the window, so the rectangle is
// clipped in floating point before it becomes int.
void Playfield::UpdateArea(QPointF topLeft, QSize size) {
    const QRectF area = QRectF(topLeft, QSizeF(size)) & QRectF(frame_.rect());
    if (!area.isEmpty()) {
        changed_ += area.toAlignedRect();
    }
}

void Playfield::PaintChanges() {
    ComposeChanges();
    if (unpainted_.isEmpty()) {
        return;
    }
    QRegion onScreen;
    for (const QRect& area : unpainted_) {
        onScreen += OnScreen(area);
    }
    unpainted_ = QRegion();
    if (isVisible()) {
        repaint(onScreen);
    } else {
        update(onScreen);
    }
}

QImage Playfield::Frame() {
    ComposeChanges();
    return frame_;
}

void Playfield::ComposeChanges() {
    for (const QRect& area : changed_) {
        Compose(area);
    }
    unpainted_ += changed_;
    changed_ = QRegion();
}

void Playfield::Compose(const QRect& area) {
    QPainter painter(&frame_);
    painter.setClipRect(area);
    painter.fillRect(area, palette().window());
    for (int index = 0; index < TileCount; ++index) {
        const QImage& tile = tiles_[static_cast<std::size_t>(index)];
        if (!tile.isNull() && area.intersects(QRect(TileOrigin(index), tile.size()))) {
            painter.drawImage(TileOrigin(index), tile);
        }
    }
    for (int car = CarCount; car >= 1; --car) {
        const QImage& picture = cars_.at(car);
        const QRectF place(carPositions_.at(car), QSizeF(picture.size()));
        if (!picture.isNull() && place.intersects(QRectF(area))) {
            painter.drawImage(place.topLeft(), picture);
        }
    }
}

QRect Playfield::OnScreen(const QRect& area) const {
    return {area.topLeft() * zoom_, area.size() * zoom_};
}

// One scaled draw of the whole frame, clipped to what needs painting: every screen pixel then
// takes its colour from the same game pixel whatever the clip, so a partial repaint always
// matches a full one, at any device scale.
void Playfield::paintEvent(QPaintEvent* /*event*/) {
    ComposeChanges();
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(QPointF(), QSizeF(frame_.size() * zoom_)), frame_);
}

void Playfield::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        changed_ = frame_.rect();
        update();
    }
}

}  // namespace vornak
