// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "LevelDocument.h"
#include "PlayfieldFrame.h"
#include "ToolIcons.h"

class QPainter;

namespace vornak::editor {
class DocumentFiles;
}

namespace vornak::editor {

// The playfield as the game draws it, by the game's own painting code, at a whole zoom, with the
// walls as a translucent overlay and an optional grid. The mouse edits the level with the tool
// in hand: a drag is one stroke, a Shift+drag fills a rectangle.
class LevelView : public QWidget {
  public:
    LevelView(QWidget* parent, LevelDocument& document);
    ~LevelView() override;
    LevelView(const LevelView&) = delete;
    LevelView& operator=(const LevelView&) = delete;

    void SetTool(Tool tool);
    Tool CurrentTool() const { return tool_; }
    void SetTile(char tile) { tile_ = tile; }
    char CurrentTile() const { return tile_; }
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }
    void SetWallsShown(bool shown);
    void SetGridShown(bool shown);
    bool WallsShown() const { return wallsShown_; }
    bool GridShown() const { return gridShown_; }
    // Marks one cell, as a finding in the diagnostics list points to it; -1 for none.
    void SelectCell(int index);
    int SelectedCell() const { return selected_; }

    // Reads the pictures anew from the document's picture folder, after an import or an open.
    void ReloadPictures();
    // Brings the drawing up to the document; called whenever the document changes.
    void Refresh();

    // Ends a stroke under way, as if its button were released where it was last painted; a
    // rectangle not yet released is dropped. Called before an open, a new level, a save and any
    // dialog, and when the view loses the mouse.
    void EndStroke();

    // The selected rectangle of cells, while there is one.
    const std::optional<CellArea>& Selection() const { return selection_; }
    void SetSelection(const std::optional<CellArea>& area);
    // Drops a floating paste: another level or another tool takes over the clicks.
    void DropPaste();
    // Ctrl+C, Ctrl+X and Delete act on the selection; Ctrl+V floats a copy of what was last
    // copied under the pointer until a left click places it or Escape drops it. Escape with
    // nothing floating drops the selection.
    void CopySelection();
    void CutSelection();
    void DeleteSelection();
    void StartPaste();
    bool Pasting() const { return floating_; }
    void Escape();

    // The cell under a point of the widget, or -1 outside the grid.
    int CellAt(QPoint point) const;
    // The cell under a point, or the grid's nearest cell to a point outside it.
    int NearestCell(QPoint point) const;

    // Told the cell under the pointer (-1 when it leaves the grid), and a tile picked up with
    // the right button.
    std::function<void(int cell)> hovered;
    std::function<void(char tile)> picked;

    // The picture of a tile character from the picture folder, or a null image.
    QImage TilePicture(char tile);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void ApplyAt(int cell, Qt::MouseButton button);
    void FillRectangle(int from, int to, Qt::MouseButton button);
    void PickTile(int cell);
    void DrawFloatingCopy(QPainter& painter);
    QImage CarPicture(int car, const std::string& heading);
    DocumentFiles& Files();

    LevelDocument& document_;
    // The game's own composition of tiles and cars; this widget scales it and draws on top.
    PlayfieldFrame frame_;
    Tool tool_ = Tool::Tiles;
    char tile_ = '.';
    int zoom_ = 2;
    bool wallsShown_ = true;
    bool gridShown_ = false;
    int selected_ = -1;

    Qt::MouseButton strokeButton_ = Qt::NoButton;
    std::optional<int> rectangleAnchor_;
    int rectangleEnd_ = -1;
    int lastCell_ = -1;

    std::optional<int> selectAnchor_;
    std::optional<CellArea> selection_;
    std::optional<Clip> clip_;
    bool floating_ = false;
    int pointerCell_ = -1;

    std::unique_ptr<DocumentFiles> files_;
    std::map<char, QImage> tilePictures_;
    std::map<std::string, QImage> carPictures_;
    std::string shownTiles_;
    bool everShown_ = false;
};

}  // namespace vornak::editor
