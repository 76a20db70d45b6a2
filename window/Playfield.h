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
class Playfield : public QWidget {
  public:
    explicit Playfield(QWidget* parent);

    void SetTilePicture(int tileIndex, QImage picture);
    void SetCarPicture(int car, QImage picture);
    QPointF CarPosition(int car) const { return carPositions_.at(car); }
    void SetCarPosition(int car, QPointF position);

    // Paints what the last handler changed, at once. A clock tick ends with this, so that its
    // frame reaches the screen without another trip through the event loop.
    void PaintChanges();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static QPoint TileOrigin(int tileIndex);
    void UpdateArea(QPointF topLeft, QSize size);

    QRegion changed_;

    std::array<QImage, TileCount> tiles_;
    std::array<QImage, CarCount + 1> cars_;  // indexed by car number
    std::array<QPointF, CarCount + 1> carPositions_;
};

}  // namespace vornak
