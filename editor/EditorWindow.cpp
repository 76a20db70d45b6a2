// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "EditorWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDockWidget>
#include <QFileDialog>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <set>

#include "Direction.h"
#include "LevelLoader.h"
#include "PictureExport.h"

namespace vornak::editor {

namespace {

constexpr int CheckDelayMilliseconds = 150;
constexpr int CellRole = Qt::UserRole;
constexpr int TileRole = Qt::UserRole + 1;
constexpr int MaxRecent = 8;

std::filesystem::path FromQString(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

QString ToQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path FirstExisting(const std::vector<std::filesystem::path>& candidates) {
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) {
            return std::filesystem::weakly_canonical(candidate, error);
        }
    }
    return {};
}

// The cell a finding points to, read from the snapshot's files, which the editor writes as 15
// rows of 20: a map's line and column are the cell's row and column, and a Cars.txt line belongs
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

QString PictureFilter() {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    return QStringLiteral("Pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
}

bool IsUsablePictureCharacter(char character) {
    // '/' cannot be in a file name, and a space or '#' would be easy to misread in the map.
    return character > ' ' && character < 127 && character != '/' && character != '#';
}

}  // namespace

Installation Installation::Find() {
    std::error_code error;
    const std::filesystem::path here =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    return {FirstExisting({here / "vornak", here / VORNAK_GAME_FROM_BINDIR / "vornak",
                           here / "../play/vornak"}),
            FirstExisting({here / VORNAK_CIRCUIT_FROM_BINDIR, here / VORNAK_GAME_FROM_BINDIR})};
}

EditorWindow::EditorWindow(Installation installation, const std::filesystem::path& folder)
    : installation_(std::move(installation)),
      view_(new LevelView(nullptr, document_)),
      palette_(new QListWidget),
      findings_(new QListWidget),
      hover_(new QLabel) {
    UseDialogs();
    auto* scroll = new QScrollArea;
    scroll->setWidget(view_);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    setCentralWidget(scroll);

    palette_->setViewMode(QListView::IconMode);
    palette_->setIconSize(QSize(32, 32));
    palette_->setGridSize(QSize(56, 56));
    palette_->setMovement(QListView::Static);
    palette_->setResizeMode(QListView::Adjust);
    palette_->setWrapping(true);
    palette_->setFocusPolicy(Qt::NoFocus);
    paletteDock_ = new QDockWidget(QStringLiteral("Tiles"), this);
    paletteDock_->setObjectName(QStringLiteral("tiles"));
    paletteDock_->setWidget(palette_);
    paletteDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    addDockWidget(Qt::LeftDockWidgetArea, paletteDock_);

    findings_->setFocusPolicy(Qt::NoFocus);
    findings_->setWordWrap(true);
    findingsDock_ = new QDockWidget(QStringLiteral("Findings"), this);
    findingsDock_->setObjectName(QStringLiteral("findings"));
    findingsDock_->setWidget(findings_);
    findingsDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    addDockWidget(Qt::BottomDockWidgetArea, findingsDock_);
    statusBar()->addWidget(hover_, 1);

    BuildMenus();

    connect(palette_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item, QListWidgetItem* /*previous*/) {
                if (item != nullptr) {
                    view_->SetTile(static_cast<char>(item->data(TileRole).toInt()));
                    SetTool(Tool::Tiles);
                }
            });
    connect(findings_, &QListWidget::currentRowChanged, this,
            [this](int row) { FindingClicked(row); });
    view_->hovered = [this](int cell) {
        hoveredCell_ = cell;
        ShowHover(cell);
    };
    view_->picked = [this](char tile) {
        for (int row = 0; row < palette_->count(); ++row) {
            if (palette_->item(row)->data(TileRole).toInt() == static_cast<unsigned char>(tile)) {
                palette_->setCurrentRow(row);
            }
        }
    };
    document_.changed = [this] { DocumentChanged(); };
    connect(&document_.UndoStack(), &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });

    checkTimer_.setSingleShot(true);
    checkTimer_.setInterval(CheckDelayMilliseconds);
    connect(&checkTimer_, &QTimer::timeout, this, [this] { CheckNow(); });

    // Tiles a level does not use yet take their kind from the circuit that levels start from.
    {
        LevelDocument circuit;
        circuit.Open(installation_.bundledCircuit);
        document_.SetFallbackKinds(KindsOfTiles(circuit.Content().tiles, circuit.Content().walls));
    }
    view_->SetZoom(settings_.value(QStringLiteral("zoom"), view_->Zoom()).toInt());
    restoreGeometry(settings_.value(QStringLiteral("geometry")).toByteArray());
    SetTool(Tool::Tiles);

    if (folder.empty()) {
        document_.StartNew(installation_.bundledCircuit);
    } else {
        document_.Open(folder);
        RememberRecent(folder);
    }
    CheckSavedFiles();
    view_->ReloadPictures();
    FillPalette();
    // The findings follow a moment after the level shows, so that opening is not kept waiting.
    checkTimer_.start();
    UpdateTitle();
    view_->setFocus();
}

void EditorWindow::UseDialogs() {
    confirm = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    inform = [this](const QString& message) {
        QMessageBox box(QMessageBox::Information, windowTitle(), message, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    };
    askAboutUnsaved = [this] {
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        QStringLiteral("The level has changes that are not saved. Save them?"),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        switch (box.exec()) {
            case QMessageBox::Save:
                return Unsaved::Save;
            case QMessageBox::Discard:
                return Unsaved::Discard;
            default:
                return Unsaved::Cancel;
        }
    };
    choosePicture = [this](const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(this, title, QString(), filter);
    };
    chooseFolder = [this](const QString& title) {
        return QFileDialog::getExistingDirectory(this, title);
    };
    chooseNewFolder = [this](const QString& title) {
        return QFileDialog::getSaveFileName(this, title, QString(), QString(), nullptr,
                                            QFileDialog::ShowDirsOnly);
    };
    chooseItem = [this](const QString& question, const QStringList& items) {
        bool chosen = false;
        const QString item =
            QInputDialog::getItem(this, windowTitle(), question, items, 0, false, &chosen);
        return chosen ? item : QString();
    };
    chooseColour = [this](QColor initial, const QString& title) {
        return QColorDialog::getColor(initial, this, title);
    };
}

EditorWindow::~EditorWindow() {
    document_.changed = nullptr;
    if (game_) {
        game_->disconnect();
        game_->kill();
        game_->waitForFinished(1000);
    }
}

QAction* EditorWindow::AddAction(QMenu* menu, const QString& text, const QKeySequence& key,
                                 const std::function<void()>& run) {
    QAction* action = menu->addAction(text);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [run] { run(); });
    return action;
}

void EditorWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Level"));
    AddAction(file, QStringLiteral("&New from the circuit…"), QKeySequence::New,
              [this] { NewFromCircuit(); });
    AddAction(file, QStringLiteral("&Open…"), QKeySequence::Open, [this] { OpenFolder(); });
    recentMenu_ = file->addMenu(QStringLiteral("Open &Recent"));
    FillRecentMenu();
    AddAction(file, QStringLiteral("&Save"), QKeySequence::Save, [this] { Save(); });
    AddAction(file, QStringLiteral("Save &as…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
              [this] { SaveAs(); });
    file->addSeparator();
    AddAction(file, QStringLiteral("Import &tile picture…"), {}, [this] { ImportTile(); });
    AddAction(file, QStringLiteral("Import &car…"), {}, [this] { ImportCar(); });
    file->addSeparator();
    AddAction(file, QStringLiteral("Mirror &left–right"), {}, [this] { document_.Mirror(true); });
    AddAction(file, QStringLiteral("Mirror to&p–bottom"), {}, [this] { document_.Mirror(false); });
    QMenu* shift = file->addMenu(QStringLiteral("S&hift by one cell"));
    const std::tuple<QString, Qt::Key, int, int> shifts[] = {
        {QStringLiteral("&Left"), Qt::Key_Left, -1, 0},
        {QStringLiteral("&Right"), Qt::Key_Right, 1, 0},
        {QStringLiteral("&Up"), Qt::Key_Up, 0, -1},
        {QStringLiteral("&Down"), Qt::Key_Down, 0, 1}};
    for (const auto& [text, key, columns, rows] : shifts) {
        const int byColumns = columns;
        const int byRows = rows;
        AddAction(shift, text, QKeySequence(Qt::CTRL | Qt::SHIFT | key),
                  [this, byColumns, byRows] { document_.Shift(byColumns, byRows); });
    }
    file->addSeparator();
    AddAction(file, QStringLiteral("&Play"), Qt::Key_F5, [this] { Play(); });
    file->addSeparator();
    AddAction(file, QStringLiteral("&Quit"), QKeySequence::Quit, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction* undo = document_.UndoStack().createUndoAction(this, QStringLiteral("&Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = document_.UndoStack().createRedoAction(this, QStringLiteral("&Redo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    AddAction(edit, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
              [this] { view_->CutSelection(); });
    AddAction(edit, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
              [this] { view_->CopySelection(); });
    AddAction(edit, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
              [this] { view_->StartPaste(); });
    AddAction(edit, QStringLiteral("&Delete"), Qt::Key_Delete,
              [this] { view_->DeleteSelection(); });
    AddAction(edit, QStringLiteral("Drop the selection or the paste"), Qt::Key_Escape,
              [this] { view_->Escape(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    AddAction(view, QStringLiteral("Zoom &in"), QKeySequence(Qt::CTRL | Qt::Key_Plus),
              [this] { view_->SetZoom(view_->Zoom() + 1); })
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AddAction(view, QStringLiteral("Zoom &out"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
              [this] { view_->SetZoom(view_->Zoom() - 1); });
    QAction* walls = AddAction(view, QStringLiteral("Show &walls"), Qt::Key_H,
                               [this] { view_->SetWallsShown(!view_->WallsShown()); });
    walls->setCheckable(true);
    walls->setChecked(true);
    QAction* grid = AddAction(view, QStringLiteral("Show &grid"), Qt::Key_G,
                              [this] { view_->SetGridShown(!view_->GridShown()); });
    grid->setCheckable(true);

    QMenu* toolMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    QToolBar* toolBar = addToolBar(QStringLiteral("Tools"));
    toolBar->setObjectName(QStringLiteral("tools"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    tools_ = new QActionGroup(this);
    const std::tuple<QString, Qt::Key, Tool> toolList[] = {
        {QStringLiteral("&Tiles"), Qt::Key_T, Tool::Tiles},
        {QStringLiteral("&Fill"), Qt::Key_F, Tool::Fill},
        {QStringLiteral("&Walls"), Qt::Key_B, Tool::Walls},
        {QStringLiteral("&Select"), Qt::Key_S, Tool::Select},
        {QStringLiteral("Car &1"), Qt::Key_1, Tool::Car1},
        {QStringLiteral("Car &2"), Qt::Key_2, Tool::Car2}};
    for (const auto& [text, key, tool] : toolList) {
        const Tool chosen = tool;
        QAction* action = AddAction(toolMenu, text, key, [this, chosen] { SetTool(chosen); });
        action->setIcon(ToolIcon(tool));
        action->setIconText(QString(text).remove(QLatin1Char('&')) + QStringLiteral(" (") +
                            QKeySequence(key).toString(QKeySequence::NativeText) +
                            QLatin1Char(')'));
        action->setCheckable(true);
        action->setData(static_cast<int>(tool));
        action->setChecked(tool == Tool::Tiles);
        tools_->addAction(action);
        toolBar->addAction(action);
    }
    toolMenu->addSeparator();
    QAction* follow = AddAction(toolMenu, QStringLiteral("Walls &follow tiles"), {}, [this] {
        document_.SetWallsFollowTiles(!document_.WallsFollowTiles());
    });
    follow->setCheckable(true);
    follow->setChecked(document_.WallsFollowTiles());
    follow->setToolTip(
        QStringLiteral("A painted cell takes the wall state that its tile has elsewhere in the "
                       "level"));
    toolMenu->addSeparator();
    const std::pair<const char*, Qt::Key> turns[] = {{"up", Qt::Key_Up},
                                                     {"down", Qt::Key_Down},
                                                     {"left", Qt::Key_Left},
                                                     {"right", Qt::Key_Right}};
    for (const auto& [heading, key] : turns) {
        const char* word = heading;
        QAction* action = AddAction(toolMenu, QStringLiteral("Head %1").arg(QLatin1String(word)),
                                    key, [this, word] { TurnCar(word); });
        action->setEnabled(false);  // only with a car tool in hand
        turnActions_.push_back(action);
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddAction(help, QStringLiteral("&Keys"), Qt::Key_F1, [this] { inform(KeysHelp()); });
}

QString EditorWindow::KeysHelp() {
    return QStringLiteral(
        "Tools\n"
        "  T  tiles: left paints (Shift+drag: a rectangle), right picks the tile\n"
        "  F  fill: left fills the area of the clicked tile, right picks the tile\n"
        "  B  walls: left sets walls, right clears them (Shift+drag: a rectangle)\n"
        "  S  select: drag to select a rectangle of cells\n"
        "  1, 2  car 1, car 2: left places the car, the arrow keys turn it\n"
        "\n"
        "View\n"
        "  G  grid       H  walls       Ctrl+plus, Ctrl+minus  zoom\n"
        "\n"
        "Edit\n"
        "  Ctrl+Z  undo              Ctrl+Shift+Z  redo\n"
        "  Ctrl+C  copy              Ctrl+X  cut           Delete  clear the selection\n"
        "  Ctrl+V  paste: the copy follows the pointer, a left click puts it down\n"
        "  Escape  drop the paste, or the selection\n"
        "  Ctrl+Shift+arrow  shift the whole level by one cell\n"
        "\n"
        "Level\n"
        "  Ctrl+N  new     Ctrl+O  open     Ctrl+S  save     Ctrl+Shift+S  save as\n"
        "  F5  play the level       F1  this list");
}

void EditorWindow::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = settings_.value(QStringLiteral("recent")).toStringList();
    for (const QString& folder : recent) {
        QAction* action = recentMenu_->addAction(folder);
        connect(action, &QAction::triggered, this, [this, folder] {
            if (AskToKeepChanges()) {
                Open(FromQString(folder));
            }
        });
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

void EditorWindow::RememberRecent(const std::filesystem::path& folder) {
    std::error_code error;
    const QString name = ToQString(std::filesystem::absolute(folder, error));
    QStringList recent = settings_.value(QStringLiteral("recent")).toStringList();
    recent.removeAll(name);
    recent.prepend(name);
    while (recent.size() > MaxRecent) {
        recent.removeLast();
    }
    settings_.setValue(QStringLiteral("recent"), recent);
    FillRecentMenu();
}

void EditorWindow::SetTool(Tool tool) {
    view_->SetTool(tool);
    for (QAction* action : tools_->actions()) {
        action->setChecked(action->data().toInt() == static_cast<int>(tool));
    }
    const bool car = tool == Tool::Car1 || tool == Tool::Car2;
    for (QAction* action : turnActions_) {
        action->setEnabled(car);
    }
    ShowHover(-1);
}

void EditorWindow::TurnCar(const char* heading) {
    const Tool tool = view_->CurrentTool();
    if (tool != Tool::Car1 && tool != Tool::Car2) {
        return;
    }
    const int car = tool == Tool::Car1 ? 1 : 2;
    if (document_.IsUnread(car)) {
        inform(QStringLiteral("Place car %1 first: the game cannot read its lines in Cars.txt, "
                              "and they are kept as they are until the car has a start.")
                   .arg(car));
        return;
    }
    document_.SetCarHeading(car, heading);
}

void EditorWindow::DocumentChanged() {
    view_->Refresh();
    ShowHover(hoveredCell_);
    UpdateTitle();
    checkTimer_.start();
}

void EditorWindow::UpdateTitle() {
    const QString name = document_.IsUntitled() ? QStringLiteral("New level")
                                                : ToQString(document_.Folder().filename().empty()
                                                                ? document_.Folder()
                                                                : document_.Folder().filename());
    setWindowTitle((document_.IsModified() ? QStringLiteral("*") : QString()) + name +
                   QStringLiteral(" – Vornak level editor"));
}

void EditorWindow::FillPalette() {
    const char current = view_->CurrentTile();
    palette_->clear();
    std::vector<char> tiles;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(document_.PictureFolder(), error)) {
        const char tile = TileCharacterOf(entry.path());
        if (tile != '\0') {
            tiles.push_back(tile);
        }
    }
    std::sort(tiles.begin(), tiles.end());
    for (const char tile : tiles) {
        const QImage picture = view_->TilePicture(tile);
        auto* item =
            new QListWidgetItem(QIcon(QPixmap::fromImage(picture.scaled(
                                    32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation))),
                                QString(QLatin1Char(tile)), palette_);
        item->setData(TileRole, static_cast<unsigned char>(tile));
        item->setToolTip(QStringLiteral("Tile%1.bmp").arg(QLatin1Char(tile)));
        if (tile == current) {
            palette_->setCurrentItem(item);
        }
    }
    if (palette_->currentItem() == nullptr && palette_->count() > 0) {
        palette_->setCurrentRow(0);
    }
}

void EditorWindow::CheckNow() {
    checkTimer_.stop();
    if (!scratch_.isValid()) {
        return;
    }
    const std::filesystem::path folder = FromQString(scratch_.path()) / "level";
    document_.WriteSnapshot(folder);
    diagnostics_ = CheckLevel(folder);
    // What the saved files say stays in view until a save replaces them, so an error in them is
    // never hidden behind what the editor made of them.
    std::set<std::string> shown;
    for (const Diagnostic& diagnostic : diagnostics_) {
        shown.insert(FormatDiagnostic(WithFileName(diagnostic)));
    }
    for (const Diagnostic& saved : savedDiagnostics_) {
        if (shown.count(FormatDiagnostic(WithFileName(saved))) == 0) {
            Diagnostic marked = saved;
            marked.message = "in the saved file: " + saved.message;
            diagnostics_.push_back(marked);
        }
    }
    ShowFindings();
}

void EditorWindow::CheckSavedFiles() {
    savedDiagnostics_.clear();
    if (!document_.IsUntitled()) {
        savedDiagnostics_ = CheckLevel(document_.Folder());
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

QString EditorWindow::StatusText() const {
    return hover_->text();
}

void EditorWindow::ShowHover(int cell) {
    if (cell < 0) {
        hover_->clear();
        return;
    }
    const LevelContent& content = document_.Content();
    const auto at = static_cast<std::size_t>(cell);
    const QString tile = at < content.tiles.size()
                             ? QStringLiteral("tile '%1'").arg(QLatin1Char(content.tiles[at]))
                             : QStringLiteral("no tile");
    hover_->setText(
        QStringLiteral("Column %1, row %2 — %3 — %4")
            .arg(cell % GridColumns + 1)
            .arg(cell / GridColumns + 1)
            .arg(tile, content.walls[at] ? QStringLiteral("wall") : QStringLiteral("free")));
}

bool EditorWindow::AskToKeepChanges() {
    view_->EndStroke();
    if (!document_.IsModified()) {
        return true;
    }
    switch (askAboutUnsaved()) {
        case Unsaved::Save:
            return Save();
        case Unsaved::Discard:
            return true;
        case Unsaved::Cancel:
            break;
    }
    return false;
}

// Docks take their sizes once the window has its own.
void EditorWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!docksSized_) {
        docksSized_ = true;
        resizeDocks({findingsDock_}, {110}, Qt::Vertical);
        resizeDocks({paletteDock_}, {200}, Qt::Horizontal);
    }
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (AskToKeepChanges()) {
        settings_.setValue(QStringLiteral("zoom"), view_->Zoom());
        settings_.setValue(QStringLiteral("geometry"), saveGeometry());
        event->accept();
    } else {
        event->ignore();
    }
}

void EditorWindow::Open(const std::filesystem::path& folder) {
    view_->EndStroke();
    document_.Open(folder);
    CheckSavedFiles();
    rewritesAccepted_ = false;
    view_->ReloadPictures();
    view_->SelectCell(-1);
    view_->SetSelection(std::nullopt);
    FillPalette();
    CheckNow();
    UpdateTitle();
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        RememberRecent(folder);
    }
}

void EditorWindow::OpenFolder() {
    if (!AskToKeepChanges()) {
        return;
    }
    const QString folder = chooseFolder(QStringLiteral("Open a level folder"));
    if (!folder.isEmpty()) {
        Open(FromQString(folder));
    }
}

void EditorWindow::NewFromCircuit() {
    if (!AskToKeepChanges()) {
        return;
    }
    const QString chosen = chooseNewFolder(QStringLiteral("New level folder"));
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path folder = FromQString(chosen);
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_empty(folder, error)) {
        inform(QStringLiteral("%1 already exists and is not empty; a new level needs a folder of "
                              "its own.")
                   .arg(chosen));
        return;
    }
    std::filesystem::create_directories(folder, error);
    for (const auto& entry :
         std::filesystem::directory_iterator(installation_.bundledCircuit, error)) {
        if (entry.is_regular_file() && entry.path().filename() != "vornak") {
            std::filesystem::copy_file(entry.path(), folder / entry.path().filename(), error);
        }
    }
    if (error) {
        inform(QStringLiteral("Cannot make the level in %1: %2")
                   .arg(chosen, QString::fromStdString(error.message())));
        return;
    }
    Open(folder);
}

bool EditorWindow::Save() {
    return document_.IsUntitled() ? SaveAs() : SaveTo(document_.Folder());
}

bool EditorWindow::SaveAs() {
    const QString chosen = chooseNewFolder(QStringLiteral("Save the level in a folder"));
    if (chosen.isEmpty()) {
        return false;
    }
    const std::filesystem::path folder = FromQString(chosen);
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error)) {
        inform(QStringLiteral("%1 is a file; a level is saved into a folder.").arg(chosen));
        return false;
    }
    if (!std::filesystem::exists(folder, error) &&
        !std::filesystem::create_directories(folder, error)) {
        inform(QStringLiteral("The level was not saved: cannot make the folder %1: %2")
                   .arg(chosen, QString::fromStdString(error.message())));
        return false;
    }
    if (folder != document_.Folder() && std::filesystem::exists(folder / TilesMapFileName, error) &&
        !confirm(QStringLiteral("%1 already holds a level. Replace its files?").arg(chosen))) {
        return false;
    }
    return SaveTo(folder);
}

bool EditorWindow::SaveTo(const std::filesystem::path& folder) {
    view_->EndStroke();
    if (!document_.Rewrites().empty() && !rewritesAccepted_) {
        QString text;
        for (const std::string& rewrite : document_.Rewrites()) {
            text += QString::fromStdString(rewrite) + QStringLiteral("\n\n");
        }
        if (!confirm(text + QStringLiteral("Save in that form?"))) {
            return false;
        }
        rewritesAccepted_ = true;
    }
    const std::string failure = document_.Save(folder);
    if (!failure.empty()) {
        inform(QStringLiteral("The level was not saved, and its files are as they were: %1")
                   .arg(QString::fromStdString(failure)));
        return false;
    }
    CheckSavedFiles();
    view_->ReloadPictures();
    FillPalette();
    CheckNow();
    UpdateTitle();
    RememberRecent(folder);
    return true;
}

bool EditorWindow::EnsureFolder() {
    if (!document_.IsUntitled()) {
        return true;
    }
    inform(QStringLiteral("Save the level first: pictures are imported into its folder."));
    return SaveAs();
}

QImage EditorWindow::ChoosePicture(const QString& title) {
    if (!EnsureFolder()) {
        return {};
    }
    const QString file = choosePicture(title, PictureFilter());
    if (file.isEmpty()) {
        return {};
    }
    QImage picture(file);
    if (picture.isNull()) {
        inform(QStringLiteral("%1 cannot be read as a picture.").arg(file));
    }
    return picture;
}

void EditorWindow::ImportTile() {
    QImage picture = ChoosePicture(QStringLiteral("Import a tile picture"));
    if (picture.isNull()) {
        return;
    }
    Fit fit = Fit::Scale;
    if (picture.size() != QSize(CellSize, CellSize)) {
        const QString how = chooseItem(
            QStringLiteral("The picture is %1 x %2 pixels; a tile is 16 x 16.")
                .arg(picture.width())
                .arg(picture.height()),
            {QStringLiteral("Scale it to 16 x 16"), QStringLiteral("Crop its top-left 16 x 16")});
        if (how.isEmpty()) {
            return;
        }
        fit = how.startsWith(QStringLiteral("Crop")) ? Fit::Crop : Fit::Scale;
    }
    QStringList unused;
    for (char character = '!'; character < 127; ++character) {
        std::error_code error;
        if (IsUsablePictureCharacter(character) &&
            !std::filesystem::exists(
                TilePicturePath(document_.Folder(), static_cast<unsigned char>(character)),
                error)) {
            unused << QString(QLatin1Char(character));
        }
    }
    const QString character =
        chooseItem(QStringLiteral("The character that stands for this tile in the map:"), unused);
    if (character.isEmpty()) {
        return;
    }
    const char tile = character.at(0).toLatin1();
    const std::filesystem::path target =
        TilePicturePath(document_.Folder(), static_cast<unsigned char>(tile));
    std::error_code error;
    if (std::filesystem::exists(target, error) &&
        !confirm(QStringLiteral("Replace %1?").arg(ToQString(target.filename())))) {
        return;
    }
    const std::string failure = WriteTileBmp(FitToCell(picture, fit), target);
    if (!failure.empty()) {
        inform(QString::fromStdString(failure));
        return;
    }
    view_->SetTile(tile);
    view_->ReloadPictures();
    FillPalette();
    CheckNow();
}

void EditorWindow::ImportCar() {
    QImage picture = ChoosePicture(QStringLiteral("Import a car, facing right"));
    if (picture.isNull()) {
        return;
    }
    const QString which =
        chooseItem(QStringLiteral("Which car is it?"),
                   {QStringLiteral("Car 1 (arrow keys)"), QStringLiteral("Car 2 (W A S D)")});
    if (which.isEmpty()) {
        return;
    }
    const int car = which.startsWith(QStringLiteral("Car 1")) ? 1 : 2;
    picture = FitToCell(picture, Fit::Scale).convertToFormat(QImage::Format_ARGB32);
    bool seeThrough = false;
    for (int y = 0; y < picture.height() && !seeThrough; ++y) {
        for (int x = 0; x < picture.width() && !seeThrough; ++x) {
            seeThrough = qAlpha(picture.pixel(x, y)) < 128;
        }
    }
    if (!seeThrough) {
        const QColor key =
            chooseColour(picture.pixelColor(0, 0),
                         QStringLiteral("The colour around the car, where the road shows through"));
        if (key.isValid()) {
            picture = WithTransparentColour(picture, key);
        }
    }
    const std::array<QImage, 4> headings = CarHeadings(picture);
    QStringList existing;
    for (const DirectionStep& direction : DirectionTable) {
        const std::filesystem::path target =
            CarPicturePath(document_.Folder(), car, std::string(direction.word));
        std::error_code error;
        if (std::filesystem::exists(target, error)) {
            existing << ToQString(target.filename());
        }
    }
    if (!existing.isEmpty() &&
        !confirm(QStringLiteral("Replace %1?").arg(existing.join(QStringLiteral(", "))))) {
        return;
    }
    for (std::size_t index = 0; index < DirectionTable.size(); ++index) {
        const std::string failure = WriteCarGif(
            headings[index],
            CarPicturePath(document_.Folder(), car, std::string(DirectionTable[index].word)));
        if (!failure.empty()) {
            inform(QString::fromStdString(failure));
            break;
        }
    }
    view_->ReloadPictures();
    CheckNow();
}

bool EditorWindow::Play() {
    CheckNow();
    for (const Diagnostic& diagnostic : diagnostics_) {
        if (diagnostic.severity == Diagnostic::Severity::Error) {
            findings_->setCurrentRow(static_cast<int>(&diagnostic - diagnostics_.data()) +
                                     static_cast<int>(document_.Rewrites().size()));
            inform(
                QStringLiteral("The level has errors that would stop the game; they are listed "
                               "under Findings."));
            return false;
        }
    }
    if (installation_.game.empty()) {
        inform(QStringLiteral("The game (vornak) was not found beside the editor."));
        return false;
    }
    if (game_) {
        inform(QStringLiteral("The game is already running."));
        return false;
    }
    // The game reads its level only from its own folder, so it goes into a private copy of the
    // level, removed when the game ends. The copy goes where a program may run: a temporary
    // folder mounted noexec makes the game fail to start, and then the next place is tried.
    QStringList reasons;
    for (const std::filesystem::path& place : PlayFolderPlaces()) {
        const QString reason = StartGameIn(place);
        if (reason.isEmpty()) {
            return true;
        }
        reasons << ToQString(place) + QStringLiteral(": ") + reason;
    }
    inform(QStringLiteral("The game cannot be started to play the level. Tried:\n\n") +
           reasons.join(QLatin1Char('\n')));
    return false;
}

// $XDG_RUNTIME_DIR, then $TMPDIR (or /tmp), then ~/.cache/vornak-editor, made if need be.
std::vector<std::filesystem::path> EditorWindow::PlayFolderPlaces() {
    std::vector<std::filesystem::path> places;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        places.emplace_back(runtime.toStdString());
    }
    const QByteArray temporary = qgetenv("TMPDIR");
    places.emplace_back(temporary.isEmpty() ? std::string("/tmp") : temporary.toStdString());
    if (const QByteArray home = qgetenv("HOME"); !home.isEmpty()) {
        places.emplace_back(std::filesystem::path(home.toStdString()) / ".cache/vornak-editor");
    }
    return places;
}

// Returns why the game did not start in a play folder under place, or nothing once it runs.
QString EditorWindow::StartGameIn(const std::filesystem::path& place) {
    std::error_code error;
    if (place.filename() == "vornak-editor") {
        std::filesystem::create_directories(place, error);
    }
    if (!std::filesystem::is_directory(place, error)) {
        return QStringLiteral("no such folder");
    }
    playFolder_ = std::make_unique<QTemporaryDir>(ToQString(place / "vornak-play-XXXXXX"));
    if (!playFolder_->isValid()) {
        const QString reason = playFolder_->errorString();
        playFolder_.reset();
        return reason;
    }
    const std::filesystem::path folder = FromQString(playFolder_->path());
    try {
        document_.WriteSnapshot(folder);
        std::filesystem::copy_file(installation_.game, folder / "vornak");
    } catch (const std::filesystem::filesystem_error& failure) {
        playFolder_.reset();
        return QString::fromLocal8Bit(failure.code().message().c_str());
    }
    game_ = std::make_unique<QProcess>();
    game_->setProgram(ToQString(folder / "vornak"));
    game_->setProcessChannelMode(QProcess::SeparateChannels);
    game_->start();
    if (!game_->waitForStarted(10000)) {
        const QString reason = game_->errorString();
        game_.reset();
        playFolder_.reset();
        return reason;
    }
    connect(game_.get(), &QProcess::finished, this, [this](int status, QProcess::ExitStatus how) {
        const QString errors = QString::fromLocal8Bit(game_->readAllStandardError());
        game_.release()->deleteLater();
        playFolder_.reset();
        if (how == QProcess::NormalExit && status != 0) {
            QString message = errors.trimmed();
            message.remove(QStringLiteral("Vornak: "));
            inform(QStringLiteral("The game stopped:\n\n") + message);
        }
    });
    return {};
}

}  // namespace vornak::editor
