// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "ToolIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vornak::editor {

namespace {

// Draws the tool in a 16 x 16 square.
void DrawTool(QPainter& painter, Tool tool) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(30, 30, 30), 1);
    switch (tool) {
        case Tool::Tiles: {
            const QColor colours[] = {QColor(90, 160, 60), QColor(150, 150, 150),
                                      QColor(150, 150, 150), QColor(90, 160, 60)};
            for (int quarter = 0; quarter < 4; ++quarter) {
                const int column = quarter % 2;
                const int row = quarter / 2;
                painter.fillRect(QRectF(2 + 6 * column, 2 + 6 * row, 6, 6), colours[quarter]);
            }
            painter.setPen(outline);
            painter.drawRect(QRectF(2, 2, 12, 12));
            break;
        }
        case Tool::Fill: {
            QPainterPath bucket;
            bucket.moveTo(3, 6);
            bucket.lineTo(10, 6);
            bucket.lineTo(9, 14);
            bucket.lineTo(4, 14);
            bucket.closeSubpath();
            painter.setPen(outline);
            painter.setBrush(QColor(200, 200, 210));
            painter.drawPath(bucket);
            painter.setBrush(QColor(40, 110, 220));
            painter.drawEllipse(QRectF(11, 8, 4, 5));
            painter.fillRect(QRectF(4, 6.5, 6, 2), QColor(40, 110, 220));
            break;
        }
        case Tool::Walls:
            painter.fillRect(QRectF(2, 2, 12, 12), QColor(200, 40, 40));
            painter.setPen(QPen(QColor(250, 220, 210), 1));
            for (const qreal y : {6.0, 10.0}) {
                painter.drawLine(QPointF(2, y), QPointF(14, y));
            }
            painter.drawLine(QPointF(8, 2), QPointF(8, 6));
            painter.drawLine(QPointF(5, 6), QPointF(5, 10));
            painter.drawLine(QPointF(11, 6), QPointF(11, 10));
            painter.drawLine(QPointF(8, 10), QPointF(8, 14));
            painter.setPen(outline);
            painter.drawRect(QRectF(2, 2, 12, 12));
            break;
        case Tool::Select:
            painter.setPen(QPen(QColor(30, 30, 30), 1.5, Qt::DashLine));
            painter.drawRect(QRectF(2.5, 2.5, 11, 11));
            break;
        case Tool::Car1:
        case Tool::Car2: {
            const bool first = tool == Tool::Car1;
            painter.setPen(outline);
            painter.setBrush(first ? QColor(205, 50, 50) : QColor(50, 90, 205));
            painter.drawRoundedRect(QRectF(1.5, 4.5, 13, 8), 2, 2);
            QFont font = painter.font();
            font.setPixelSize(8);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRectF(1.5, 4.5, 13, 8), Qt::AlignCenter,
                             first ? QStringLiteral("1") : QStringLiteral("2"));
            break;
        }
    }
}

// Draws the tool at whatever size and when it is first shown: the toolbar shows one size, and
// drawing every size up front would hold up the editor's first frame.
class ToolIconEngine : public QIconEngine {
  public:
    explicit ToolIconEngine(Tool tool) : tool_(tool) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State /*state*/) override {
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        DrawTool(*painter, tool_);
        painter->restore();
    }
    // The default leaves the new pixmap as it finds it; a tool is drawn on transparency.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return drawn;
    }
    QIconEngine* clone() const override { return new ToolIconEngine(tool_); }

  private:
    Tool tool_;
};

}  // namespace

QIcon ToolIcon(Tool tool) {
    return QIcon(new ToolIconEngine(tool));
}

QCursor ToolCursor(Tool tool) {
    QPixmap cursor(32, 32);
    cursor.fill(Qt::transparent);
    QPainter painter(&cursor);
    for (const auto& [colour, width] : {std::pair{Qt::white, 3}, std::pair{Qt::black, 1}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(7, 0, 7, 14);
        painter.drawLine(0, 7, 14, 7);
    }
    painter.translate(14, 14);
    DrawTool(painter, tool);
    painter.end();
    return QCursor(cursor, 7, 7);
}

}  // namespace vornak::editor
