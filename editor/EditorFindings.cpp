// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The checker's findings on the level as it stands, and on the files as they were saved.
#include <QListWidget>
#include <set>

#include "DocumentFiles.h"
#include "EditorWindow.h"
#include "LevelLoader.h"

namespace vornak::editor {

namespace {

constexpr int CellRole = Qt::UserRole;

// The cell a finding points to, read from the level's files as the editor writes them, 15 rows
// of 20: a map's line and column are the cell's row and column, and a Cars.txt line belongs
// to one car's start.
int CellOfFinding(const Diagnostic& diagnostic, const LevelContent& content) {
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
    if (!document_.IsUntitled()) {
        std::set<std::string> shown;
        for (const Diagnostic& diagnostic : diagnostics_) {
            shown.insert(FormatDiagnostic(WithFileName(diagnostic)));
        }
        for (const Diagnostic& saved : CheckLevel(document_.Folder())) {
            if (shown.count(FormatDiagnostic(WithFileName(saved))) == 0) {
                Diagnostic marked = saved;
                marked.message = "in the saved file: " + saved.message;
                diagnostics_.push_back(marked);
            }
        }
    }
    ShowFindings();
}

void EditorWindow::ShowFindings() {
    findings_->blockSignals(true);
    findings_->clear();
    for (const std::string& rewrite : document_.Rewrites()) {
        auto* item = new QListWidgetItem(QStringLiteral("note: ") + QString::fromStdString(rewrite),
                                         findings_);
        item->setData(CellRole, -1);
    }
    for (const Diagnostic& diagnostic : diagnostics_) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(FormatDiagnostic(WithFileName(diagnostic))), findings_);
        item->setData(CellRole, CellOfFinding(diagnostic, document_.Content()));
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
