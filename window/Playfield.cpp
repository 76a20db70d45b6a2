#include "Playfield.h"

#include <QPaintEvent>
#include <QPainter>
#include <utility>

namespace vornak {

Playfield::Playfield(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    carPositions_ = {QPointF(), QPointF(376, 40), QPointF(392, 40)};
}

QPoint Playfield::TileOrigin(int tileIndex) {
    return {CellSize * (tileIndex % GridColumns), CellSize * (tileIndex / GridColumns)};
}

void Playfield::SetTilePicture(int tileIndex, QImage picture) {
    QImage& tile = tiles_.at(static_cast<std::size_t>(tileIndex));
    const QPointF origin = TileOrigin(tileIndex);
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

// Only the pixels that changed are repainted. Car positions come from level files and may lie
// far outside the window, so the rectangle is clipped in floating point before it becomes int.
void Playfield::UpdateArea(QPointF topLeft, QSize size) {
    const QRectF area = QRectF(topLeft, QSizeF(size)) & QRectF(rect());
    if (!area.isEmpty()) {
        changed_ += area.toAlignedRect();
    }
}

void Playfield::PaintChanges() {
    if (changed_.isEmpty()) {
        return;
    }
    if (isVisible()) {
        repaint(changed_);
    } else {
        update(changed_);
    }
    changed_ = QRegion();
}

void Playfield::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, palette().window());
    for (int index = 0; index < TileCount; ++index) {
        const QImage& tile = tiles_[static_cast<std::size_t>(index)];
        const QRect area(TileOrigin(index), tile.size());
        if (!tile.isNull() && area.intersects(dirty)) {
            painter.drawImage(area.topLeft(), tile);
        }
    }
    for (int car = CarCount; car >= 1; --car) {
        const QRectF area(carPositions_.at(car), QSizeF(cars_.at(car).size()));
        if (!cars_.at(car).isNull() && area.intersects(QRectF(dirty))) {
            painter.drawImage(area.topLeft(), cars_.at(car));
        }
    }
}

}  // namespace vornak
