// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "LevelView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "DocumentFiles.h"
#include "GameError.h"
#include "LevelLoader.h"
#include "PictureFile.h"
#include "ToolIcons.h"

namespace vornak::editor {

namespace {

constexpr int FieldWidth = GridColumns * CellSize;
constexpr int FieldHeight = GridRows * CellSize;
// Hatched, so the tile under a wall still shows what the game will draw there.
const QBrush WallOverlay(QColor(255, 40, 40, 200), Qt::BDiagPattern);
const QColor WallTint(255, 40, 40, 50);

QRect CellRectangle(int index, int zoom) {
    return {(index % GridColumns) * CellSize * zoom, (index / GridColumns) * CellSize * zoom,
            CellSize * zoom, CellSize * zoom};
}

}  // namespace

LevelView::LevelView(QWidget* parent, LevelDocument& document)
    : QWidget(parent), document_(document), frame_(FieldWidth, FieldHeight) {
    frame_.SetBackground(static_cast<std::uint32_t>(palette().window().color().rgb()));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetZoom(zoom_);
}

LevelView::~LevelView() = default;

void LevelView::SetTool(Tool tool) {
    EndStroke();
    DropPaste();  // a click with the new tool must do what that tool does
    tool_ = tool;
    setCursor(ToolCursor(tool));
}

void LevelView::SetSelection(const std::optional<CellArea>& area) {
    selection_ = area;
    update();
}

void LevelView::CopySelection() {
    if (selection_) {
        clip_ = CopyArea(document_.Content(), *selection_);
    }
}

void LevelView::CutSelection() {
    if (selection_) {
        clip_ = CopyArea(document_.Content(), *selection_);
        document_.Clear(*selection_, QStringLiteral("Cut"));
    }
}

void LevelView::DeleteSelection() {
    if (selection_) {
        document_.Clear(*selection_, QStringLiteral("Delete"));
    }
}

void LevelView::StartPaste() {
    if (clip_) {
        EndStroke();
        floating_ = true;
        update();
    }
}

void LevelView::DropPaste() {
    if (floating_) {
        floating_ = false;
        update();
    }
}

void LevelView::Escape() {
    if (floating_) {
        floating_ = false;
    } else {
        selection_.reset();
    }
    update();
}

void LevelView::SetZoom(int zoom) {
    zoom_ = std::clamp(zoom, 1, 8);
    setFixedSize(FieldWidth * zoom_, FieldHeight * zoom_);
    update();
}

void LevelView::SetWallsShown(bool shown) {
    wallsShown_ = shown;
    update();
}

void LevelView::SetGridShown(bool shown) {
    gridShown_ = shown;
    update();
}

void LevelView::SelectCell(int index) {
    selected_ = index;
    update();
}

QImage LevelView::TilePicture(char tile) {
    auto found = tilePictures_.find(tile);
    if (found == tilePictures_.end()) {
        QImage picture;
        try {
            picture = LoadPicture(
                Files(),
                TilePicturePath(document_.PictureFolder(), static_cast<unsigned char>(tile)),
                "bmp");
        } catch (const GameError&) {
            // The diagnostics list says why; the cell shows the background, as in the game.
        }
        found = tilePictures_.emplace(tile, picture).first;
    }
    return found->second;
}

QImage LevelView::CarPicture(int car, const std::string& heading) {
    const std::string key = std::to_string(car) + heading;
    auto found = carPictures_.find(key);
    if (found == carPictures_.end()) {
        QImage picture;
        try {
            picture = LoadPicture(Files(), CarPicturePath(document_.PictureFolder(), car, heading),
                                  "gif");
        } catch (const GameError&) {
        }
        found = carPictures_.emplace(key, picture).first;
    }
    return found->second;
}

// Imported pictures show from memory until they are saved.
DocumentFiles& LevelView::Files() {
    if (!files_) {
        files_ = std::make_unique<DocumentFiles>(document_);
    }
    return *files_;
}

void LevelView::ReloadPictures() {
    files_.reset();
    tilePictures_.clear();
    carPictures_.clear();
    shownTiles_.clear();
    everShown_ = false;
    Refresh();
}

void LevelView::Refresh() {
    const LevelContent& content = document_.Content();
    for (int index = 0; index < TileCount; ++index) {
        const auto at = static_cast<std::size_t>(index);
        const char tile = at < content.tiles.size() ? content.tiles[at] : '\0';
        const char shown = at < shownTiles_.size() ? shownTiles_[at] : '\0';
        if (everShown_ && tile == shown) {
            continue;
        }
        frame_.SetTilePicture(index, PictureFromImage(tile == '\0' ? QImage() : TilePicture(tile)));
    }
    shownTiles_ = content.tiles;
    everShown_ = true;
    for (int car = 1; car <= CarCount; ++car) {
        const CarStart& start = content.cars[static_cast<std::size_t>(car - 1)];
        frame_.SetCarPosition(car, CellOrigin(start.column), CellOrigin(start.row));
        // A car the game cannot read has no start to show.
        frame_.SetCarPicture(
            car,
            PictureFromImage(document_.IsUnread(car) ? QImage() : CarPicture(car, start.heading)));
    }
    update();
}

int LevelView::NearestCell(QPoint point) const {
    const int side = CellSize * zoom_;
    const int column = std::clamp(point.x() < 0 ? 0 : point.x() / side, 0, GridColumns - 1);
    const int row = std::clamp(point.y() < 0 ? 0 : point.y() / side, 0, GridRows - 1);
    return row * GridColumns + column;
}

int LevelView::CellAt(QPoint point) const {
    if (point.x() < 0 || point.y() < 0) {
        return -1;
    }
    const int column = point.x() / (CellSize * zoom_);
    const int row = point.y() / (CellSize * zoom_);
    if (column >= GridColumns || row >= GridRows) {
        return -1;
    }
    return row * GridColumns + column;
}

void LevelView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    frame_.ComposeChanges();
    painter.drawImage(rect(), QImage(reinterpret_cast<const uchar*>(frame_.Pixels().data()),
                                     frame_.Width(), frame_.Height(), QImage::Format_RGB32));
    const LevelContent& content = document_.Content();
    if (wallsShown_) {
        for (int index = 0; index < TileCount; ++index) {
            if (content.walls[static_cast<std::size_t>(index)]) {
                painter.fillRect(CellRectangle(index, zoom_), WallTint);
                painter.fillRect(CellRectangle(index, zoom_), WallOverlay);
            }
        }
    }
    if (gridShown_) {
        painter.setPen(QColor(255, 255, 255, 70));
        for (int column = 1; column < GridColumns; ++column) {
            painter.drawLine(column * CellSize * zoom_, 0, column * CellSize * zoom_, height());
        }
        for (int row = 1; row < GridRows; ++row) {
            painter.drawLine(0, row * CellSize * zoom_, width(), row * CellSize * zoom_);
        }
    }
    if (rectangleAnchor_ && rectangleEnd_ >= 0) {
        const QRect area =
            CellRectangle(*rectangleAnchor_, zoom_).united(CellRectangle(rectangleEnd_, zoom_));
        painter.setPen(QPen(Qt::yellow, 2, Qt::DashLine));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
    }
    if (selection_) {
        const QRect area =
            CellRectangle(selection_->top * GridColumns + selection_->left, zoom_)
                .united(CellRectangle(selection_->bottom * GridColumns + selection_->right, zoom_));
        painter.setPen(QPen(Qt::white, 2, Qt::DashLine));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
    }
    if (floating_ && pointerCell_ >= 0) {
        DrawFloatingCopy(painter);
    }
    if (selected_ >= 0) {
        painter.setPen(QPen(Qt::yellow, 2));
        painter.drawRect(CellRectangle(selected_, zoom_).adjusted(1, 1, -1, -1));
    }
}

// The copy shows where a click would put it, cells off the grid left out as the paste leaves
// them out.
void LevelView::DrawFloatingCopy(QPainter& painter) {
    const int column = pointerCell_ % GridColumns;
    const int row = pointerCell_ / GridColumns;
    painter.setOpacity(0.75);
    for (int y = 0; y < clip_->height && row + y < GridRows; ++y) {
        for (int x = 0; x < clip_->width && column + x < GridColumns; ++x) {
            const auto from = static_cast<std::size_t>(y) * static_cast<std::size_t>(clip_->width) +
                              static_cast<std::size_t>(x);
            const QRect cell = CellRectangle((row + y) * GridColumns + column + x, zoom_);
            if (clip_->tiles[from] != '\0') {
                painter.drawImage(cell, TilePicture(clip_->tiles[from]));
            }
            if (clip_->walls[from] && wallsShown_) {
                painter.fillRect(cell, WallTint);
                painter.fillRect(cell, WallOverlay);
            }
        }
    }
    painter.setOpacity(1);
    const int right = std::min(column + clip_->width, GridColumns) - 1;
    const int bottom = std::min(row + clip_->height, GridRows) - 1;
    painter.setPen(QPen(Qt::cyan, 2, Qt::DashLine));
    painter.drawRect(CellRectangle(pointerCell_, zoom_)
                         .united(CellRectangle(bottom * GridColumns + right, zoom_))
                         .adjusted(1, 1, -1, -1));
}

void LevelView::PickTile(int cell) {
    if (static_cast<std::size_t>(cell) < document_.Content().tiles.size()) {
        tile_ = document_.Content().tiles[static_cast<std::size_t>(cell)];
        if (picked) {
            picked(tile_);
        }
    }
}

void LevelView::ApplyAt(int cell, Qt::MouseButton button) {
    if (cell < 0) {
        return;
    }
    const bool left = button == Qt::LeftButton;
    switch (tool_) {
        case Tool::Tiles:
        case Tool::Fill:
            if (!left) {
                PickTile(cell);
            } else if (tool_ == Tool::Tiles) {
                document_.SetTile(cell, tile_);
            } else {
                document_.Fill(cell, tile_);
            }
            break;
        case Tool::Select:
            break;
        case Tool::Walls:
            document_.SetWall(cell, left);
            break;
        case Tool::Car1:
        case Tool::Car2:
            if (left) {
                document_.SetCarCell(tool_ == Tool::Car1 ? 1 : 2, cell % GridColumns + 1,
                                     cell / GridColumns + 1);
            }
            break;
    }
}

void LevelView::FillRectangle(int from, int to, Qt::MouseButton button) {
    const int left = std::min(from % GridColumns, to % GridColumns);
    const int right = std::max(from % GridColumns, to % GridColumns);
    const int top = std::min(from / GridColumns, to / GridColumns);
    const int bottom = std::max(from / GridColumns, to / GridColumns);
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            ApplyAt(row * GridColumns + column, button);
        }
    }
}

void LevelView::mousePressEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell < 0 || strokeButton_ != Qt::NoButton ||
        (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        return;
    }
    if (floating_) {
        if (event->button() == Qt::LeftButton) {
            floating_ = false;
            document_.Paste(*clip_, cell % GridColumns, cell / GridColumns);
        }
        return;
    }
    if (tool_ == Tool::Select) {
        if (event->button() == Qt::LeftButton) {
            strokeButton_ = Qt::LeftButton;
            selectAnchor_ = cell;
            SetSelection(CellArea::Spanning(cell, cell));
        }
        return;
    }
    if (tool_ == Tool::Fill) {
        ApplyAt(cell, event->button());
        return;
    }
    strokeButton_ = event->button();
    const bool paints =
        tool_ == Tool::Walls || (tool_ == Tool::Tiles && event->button() == Qt::LeftButton);
    document_.BeginStroke(QStringLiteral("Edit"));
    if (paints && (event->modifiers() & Qt::ShiftModifier) != 0) {
        rectangleAnchor_ = cell;
        rectangleEnd_ = cell;
        update();
        return;
    }
    lastCell_ = cell;
    ApplyAt(cell, strokeButton_);
}

void LevelView::mouseMoveEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (hovered) {
        hovered(cell);
    }
    if (cell != pointerCell_) {
        pointerCell_ = cell;
        if (floating_) {
            update();
        }
    }
    // The button went up where the view could not see it (over a dialog, say): the stroke is
    // over, and a pointer moving with no button held paints nothing.
    if (strokeButton_ != Qt::NoButton && (event->buttons() & strokeButton_) == 0) {
        EndStroke();
        return;
    }
    if (strokeButton_ == Qt::NoButton) {
        return;
    }
    // A rectangle dragged past the grid reaches its edge, as in any paint program.
    if (selectAnchor_) {
        SetSelection(CellArea::Spanning(*selectAnchor_, NearestCell(event->position().toPoint())));
        return;
    }
    if (rectangleAnchor_) {
        const int nearest = NearestCell(event->position().toPoint());
        if (nearest != rectangleEnd_) {
            rectangleEnd_ = nearest;
            update();
        }
        return;
    }
    if (cell < 0) {
        return;
    }
    // A car tool places the car once per press; only tiles and walls paint a stroke. A quick
    // pointer skips cells between two moves, so the stroke paints the cells on the line between.
    if (cell != lastCell_ && (tool_ == Tool::Tiles || tool_ == Tool::Walls)) {
        const int fromColumn = lastCell_ % GridColumns;
        const int fromRow = lastCell_ / GridColumns;
        const int columns = cell % GridColumns - fromColumn;
        const int rows = cell / GridColumns - fromRow;
        const int steps = std::max(std::abs(columns), std::abs(rows));
        for (int step = 1; step <= steps; ++step) {
            const int column =
                fromColumn +
                static_cast<int>(std::lround(static_cast<double>(columns) * step / steps));
            const int row =
                fromRow + static_cast<int>(std::lround(static_cast<double>(rows) * step / steps));
            ApplyAt(row * GridColumns + column, strokeButton_);
        }
        lastCell_ = cell;
    }
}

void LevelView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != strokeButton_) {
        return;
    }
    if (rectangleAnchor_) {
        FillRectangle(*rectangleAnchor_, rectangleEnd_, strokeButton_);
        rectangleAnchor_.reset();
        rectangleEnd_ = -1;
        update();
    }
    selectAnchor_.reset();
    document_.EndStroke();
    strokeButton_ = Qt::NoButton;
    lastCell_ = -1;
}

void LevelView::EndStroke() {
    if (strokeButton_ == Qt::NoButton) {
        return;
    }
    strokeButton_ = Qt::NoButton;
    lastCell_ = -1;
    selectAnchor_.reset();
    if (rectangleAnchor_) {
        rectangleAnchor_.reset();
        rectangleEnd_ = -1;
        update();
    }
    document_.EndStroke();
}

// A dialog takes the activation, and with it the mouse.
void LevelView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        EndStroke();
    }
}

void LevelView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    EndStroke();
}

void LevelView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hovered) {
        hovered(-1);
    }
    pointerCell_ = -1;
    if (floating_) {
        update();
    }
}

}  // namespace vornak::editor
