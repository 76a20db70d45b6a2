// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The checker's findings on the level as it stands, and on the files as they were saved.
#include <QListWidget>
#include <map>
#include <tuple>

#include "DocumentFiles.h"
#include "EditorWindow.h"
#include "GameError.h"
#include "LevelLoader.h"
#include "SystemFiles.h"

namespace vornak::editor {

namespace {

constexpr int CellRole = Qt::UserRole;

// The cell a finding points to, read from the level's files as the editor writes them, 15 rows
// of 20: a map's line and column are the cell's row and column, and a Cars.txt line belongs
// to one car's start.
int CellOfFinding(const Diagnostic& diagnostic, const LevelContent& content) {
    if (diagnostic.cell >= 0) {
        return diagnostic.cell;
    }
    const std::string name = diagnostic.file.filename().string();
    if (name == TilesMapFileName || name == BlocksMapFileName) {
        if (diagnostic.column > GridColumns || diagnostic.line > GridRows) {
            return -1;
        }
        return (diagnostic.line - 1) * GridColumns + (diagnostic.column - 1);
    }
    if (name == CarsFileName && diagnostic.line >= 1 && diagnostic.line <= 3 * CarCount) {
        const auto index = static_cast<std::size_t>((diagnostic.line - 1) / 3);
        const CarStart& car = content.cars[index];
        return CellGrid::Contains(car.column, car.row) && !content.unreadCarLines[index]
                   ? (car.row - 1) * GridColumns + (car.column - 1)
                   : -1;
    }
    return -1;
}

// Each cell of a saved map by the line and column of its byte, counted as the checker counts:
// cells fill in reading order, and a short row does not hold 20 of them.
std::map<std::pair<int, int>, int> SavedCells(const std::filesystem::path& map, bool tiles) {
    std::map<std::pair<int, int>, int> cells;
    try {
        std::vector<Place> places;
        if (tiles) {
            for (const TileAt& tile : TilePlaces(SystemFiles(), map)) {
                places.push_back(tile.place);
            }
        } else {
            places = BlockPlaces(SystemFiles(), map);
        }
        for (std::size_t cell = 0; cell < places.size(); ++cell) {
            cells.emplace(std::pair{places[cell].line, places[cell].column},
                          static_cast<int>(cell));
        }
    } catch (const GameError&) {
        // The checker names the fault, and the findings of that map keep their own places.
    }
    return cells;
}

Diagnostic WithFileName(const Diagnostic& diagnostic) {
    Diagnostic shown = diagnostic;
    shown.file = diagnostic.file.filename();
    return shown;
}

}  // namespace

void EditorWindow::CheckNow() {
    checkTimer_.stop();
    // Checked in memory, through the game's own loader: nothing is written to check a level.
    DocumentFiles files(document_);
    diagnostics_ = CheckLevel(files.Source());
    // What the saved files say stays in view until a save replaces them, so an error in them is
    // never hidden behind what the editor made of them. They are read again each time: the files
    // on disk may change behind the editor's back (a picture put back).
    findingCells_.clear();
    for (const Diagnostic& diagnostic : diagnostics_) {
        findingCells_.push_back(CellOfFinding(diagnostic, document_.Content()));
    }
    memoryFindings_ = diagnostics_.size();
    if (!document_.IsUntitled()) {
        AddSavedFindings();
    }
    ShowFindings();
}

// A fault found both in memory and in the saved files shows once, as the checker prints it for
// the saved file; the saved files' own faults follow, marked as theirs. A finding in memory and
// one in a file are the same when they name the same file, cell, severity and message.
void EditorWindow::AddSavedFindings() {
    const std::filesystem::path& folder = document_.Folder();
    const std::map<std::pair<int, int>, int> tileCells =
        SavedCells(folder / TilesMapFileName, true);
    const std::map<std::pair<int, int>, int> wallCells =
        SavedCells(folder / BlocksMapFileName, false);
    using Key = std::tuple<std::string, int, Diagnostic::Severity, std::string>;
    const auto key = [](const Diagnostic& diagnostic, int cell) {
        return Key{diagnostic.file.filename().string(), cell, diagnostic.severity,
                   cell < 0 ? FormatDiagnostic(WithFileName(diagnostic)) : diagnostic.message};
    };
    std::map<Key, std::size_t> inMemory;
    for (std::size_t index = 0; index < diagnostics_.size(); ++index) {
        inMemory.emplace(key(diagnostics_[index], findingCells_[index]), index);
    }
    for (const Diagnostic& saved : CheckLevel(folder)) {
        const std::string name = saved.file.filename().string();
        int cell = CellOfFinding(saved, document_.Content());
        if (saved.cell >= 0) {
            cell = saved.cell;
        } else if (name == TilesMapFileName || name == BlocksMapFileName) {
            const auto& cells = name == TilesMapFileName ? tileCells : wallCells;
            const auto found = cells.find({saved.line, saved.column});
            cell = found == cells.end() ? -1 : found->second;
        }
        const auto same = inMemory.find(key(saved, cell));
        if (same != inMemory.end()) {
            diagnostics_[same->second] = saved;
            findingCells_[same->second] = cell;
            continue;
        }
        Diagnostic marked = saved;
        marked.message = "in the saved file: " + saved.message;
        diagnostics_.push_back(marked);
        findingCells_.push_back(cell);
    }
}

void EditorWindow::ShowFindings() {
    findings_->blockSignals(true);
    findings_->clear();
    for (const std::string& rewrite : document_.Rewrites()) {
        auto* item = new QListWidgetItem(QStringLiteral("note: ") + QString::fromStdString(rewrite),
                                         findings_);
        item->setData(CellRole, -1);
    }
    for (std::size_t index = 0; index < diagnostics_.size(); ++index) {
        const Diagnostic& diagnostic = diagnostics_[index];
        auto* item = new QListWidgetItem(
            QString::fromStdString(FormatDiagnostic(WithFileName(diagnostic))), findings_);
        item->setData(CellRole, findingCells_[index]);
        item->setForeground(diagnostic.severity == Diagnostic::Severity::Error
                                ? QColor(190, 20, 20)
                                : QColor(150, 100, 0));
    }
    if (findings_->count() == 0) {
        new QListWidgetItem(QStringLiteral("The checker has nothing to report."), findings_);
    }
    findings_->blockSignals(false);
}

void EditorWindow::FindingClicked(int row) {
    QListWidgetItem* item = findings_->item(row);
    if (item == nullptr) {
        return;
    }
    const QVariant cell = item->data(CellRole);
    view_->SelectCell(cell.isValid() ? cell.toInt() : -1);
}

}  // namespace vornak::editor
