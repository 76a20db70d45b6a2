// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "EditorWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "LevelLoader.h"
#include "QtPaths.h"
#include "TileCharacterChoice.h"

namespace vornak::editor {

namespace {

constexpr int CheckDelayMilliseconds = 150;
constexpr int TileRole = Qt::UserRole + 1;

}  // namespace

EditorWindow::EditorWindow(Installation installation, const std::filesystem::path& folder)
    : installation_(std::move(installation)),
      play_(installation_.game),
      view_(new LevelView(nullptr, document_)),
      palette_(new QListWidget),
      findings_(new QListWidget),
      hover_(new QLabel),
      diskStatus_(new QLabel) {
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
    statusBar()->addPermanentWidget(diskStatus_);

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
        document_.SetFallbackKinds(
            KindsOfTiles(CountTileUses(circuit.Content().tiles, circuit.Content().walls)));
    }
    view_->SetZoom(settings_.value(QStringLiteral("zoom"), view_->Zoom()).toInt());
    // The view's choices stay as the level maker left them, as the zoom does.
    if (settings_.value(QStringLiteral("walls shown"), true).toBool() != view_->WallsShown()) {
        wallsAction_->trigger();
    }
    if (settings_.value(QStringLiteral("grid shown"), false).toBool() != view_->GridShown()) {
        gridAction_->trigger();
    }
    if (!restoreGeometry(settings_.value(QStringLiteral("geometry")).toByteArray())) {
        resize(1000, 720);
    }
    PlayFolder::RemoveLeftovers();
    SetUpRecovery();
    play_.failed = [this](const QString& message) {
        inform(QStringLiteral("The game stopped:\n\n") + message);
    };
    SetTool(Tool::Tiles);

    if (folder.empty()) {
        document_.StartNew(installation_.bundledCircuit);
    } else {
        document_.Open(folder);
        RememberRecent(folder);
    }
    view_->ReloadPictures();
    FillPalette();
    // The findings follow a moment after the level shows, so that opening is not kept waiting.
    checkTimer_.start();
    UpdateTitle();
    // Watching the folder starts a thread and reads every file once; it follows the first
    // drawing, as the findings do.
    QTimer::singleShot(CheckDelayMilliseconds, this, [this] { WatchLevel(); });
    view_->setFocus();
}

namespace {

// One case-sensitive character, with the characters in use listed and what the typed one means
// said as it is typed: a character in use, or one that only differs by case from one in use.
QString CharacterDialog(QWidget* parent, const QString& question, const QString& suggested,
                        const QString& used) {
    QDialog dialog(parent);
    dialog.setWindowTitle(parent->windowTitle());
    dialog.setMinimumWidth(dialog.fontMetrics().averageCharWidth() * 60);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(question, &dialog));
    auto* field = new QLineEdit(suggested, &dialog);
    field->setMaxLength(1);
    field->selectAll();
    layout->addWidget(field);
    QStringList inUse;
    for (const QChar character : used) {
        inUse << QString(character);
    }
    auto* usedLabel =
        new QLabel(QStringLiteral("In use: ") + inUse.join(QLatin1Char(' ')), &dialog);
    usedLabel->setWordWrap(true);
    layout->addWidget(usedLabel);
    // Room for the longest note, so that the dialog never changes size as the level maker types.
    auto* note = new QLabel(&dialog);
    note->setWordWrap(true);
    note->setMinimumHeight(note->fontMetrics().lineSpacing() * 3);
    note->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const auto update = [field, note, buttons, &used] {
        const QString text = field->text();
        const char typed = text.size() == 1 ? text.at(0).toLatin1() : '\0';
        note->setText(text.isEmpty() ? QString()
                                     : QString::fromStdString(TileCharacterNote(
                                           typed, used.toLatin1().toStdString())));
        buttons->button(QDialogButtonBox::Ok)
            ->setEnabled(typed != '\0' && IsUsableTileCharacter(typed));
    };
    QObject::connect(field, &QLineEdit::textChanged, &dialog, update);
    update();
    return dialog.exec() == QDialog::Accepted ? field->text() : QString();
}

}  // namespace

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
    // Pictures to import usually come from one folder of the level maker's: the chooser goes
    // back there.
    choosePicture = [this](const QString& title, const QString& filter) {
        const QString start =
            settings_.value(QStringLiteral("picture folder"), QDir::homePath()).toString();
        QString chosen = QFileDialog::getOpenFileName(this, title, start, filter);
        if (!chosen.isEmpty()) {
            settings_.setValue(QStringLiteral("picture folder"), QFileInfo(chosen).absolutePath());
        }
        return chosen;
    };
    chooseFolder = [this](const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(this, title, start);
    };
    // A folder chooser, whose "Create New Folder" makes the new level's folder in place; an
    // existing empty folder does as well.
    chooseNewFolder = [this](const QString& title, const QString& start) {
        QFileDialog dialog(this, title, start);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseItem = [this](const QString& question, const QStringList& items) {
        bool chosen = false;
        const QString item =
            QInputDialog::getItem(this, windowTitle(), question, items, 0, false, &chosen);
        return chosen ? item : QString();
    };
    choose = [this](const QString& question, const QStringList& answers) {
        QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Cancel, this);
        std::vector<QAbstractButton*> buttons;
        for (const QString& answer : answers) {
            buttons.push_back(box.addButton(answer, QMessageBox::AcceptRole));
        }
        box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
        box.exec();
        const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
        return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
    };
    chooseColour = [this](QColor initial, const QString& title) {
        return QColorDialog::getColor(initial, this, title);
    };
    chooseCharacter = [this](const QString& question, const QString& suggested,
                             const QString& used) {
        return CharacterDialog(this, question, suggested, used);
    };
}

// An editor that ends as it should has asked about every unsaved change.
EditorWindow::~EditorWindow() {
    recovery_.Discard();
    document_.changed = nullptr;
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
    if (document_.HeldPictures() != shownPictures_) {
        shownPictures_ = document_.HeldPictures();
        view_->ReloadPictures();
        FillPalette();
    }
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

// Refilling the list is not a choice of the level maker's: the tool in hand stays.
void EditorWindow::FillPalette() {
    const char current = view_->CurrentTile();
    palette_->blockSignals(true);
    palette_->clear();
    std::vector<char> tiles;
    for (const std::filesystem::path& name : document_.PictureNames()) {
        if (const char tile = TileCharacterOf(name); tile != '\0') {
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
        view_->SetTile(static_cast<char>(palette_->currentItem()->data(TileRole).toInt()));
    }
    palette_->blockSignals(false);
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

// The game reads its car pictures again on every move, so one left running keeps its folder: the
// folder stays locked by the game, and the next start of the editor removes it.
bool EditorWindow::AskToLeaveTheGame() {
    if (play_.Game() == nullptr) {
        return true;
    }
    switch (choose(QStringLiteral("The game is still playing the level. Stop it?"),
                   {QStringLiteral("Stop the game"), QStringLiteral("Leave it running")})) {
        case 0:
            play_.Stop();
            return true;
        case 1:
            play_.LeaveRunning();
            return true;
        default:
            return false;
    }
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (AskToKeepChanges() && AskToLeaveTheGame()) {
        settings_.setValue(QStringLiteral("zoom"), view_->Zoom());
        settings_.setValue(QStringLiteral("walls shown"), view_->WallsShown());
        settings_.setValue(QStringLiteral("grid shown"), view_->GridShown());
        settings_.setValue(QStringLiteral("geometry"), saveGeometry());
        event->accept();
    } else {
        event->ignore();
    }
}

void EditorWindow::NewUntitled() {
    if (!AskToKeepChanges()) {
        return;
    }
    view_->EndStroke();
    document_.StartNew(installation_.bundledCircuit);
    ShowNewDocument();
}

void EditorWindow::Open(const std::filesystem::path& folder) {
    view_->EndStroke();
    document_.Open(folder);
    ShowNewDocument();
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        RememberRecent(folder);
    }
}

void EditorWindow::ShowNewDocument() {
    rewritesAccepted_ = false;
    recovery_.Discard();  // the level left behind was saved, or its changes let go
    WatchLevel();
    view_->ReloadPictures();
    view_->SelectCell(-1);
    view_->SetSelection(std::nullopt);
    view_->DropPaste();  // the next click would put the old level's cells into this one
    FillPalette();
    CheckNow();
    UpdateTitle();
}

void EditorWindow::OpenFolder() {
    if (!AskToKeepChanges()) {
        return;
    }
    const QString folder = ChooseFolder(chooseFolder, QStringLiteral("Open a level folder"));
    if (!folder.isEmpty()) {
        Open(FromQString(folder));
    }
}

void EditorWindow::NewFromCircuit() {
    if (!AskToKeepChanges()) {
        return;
    }
    const QString chosen = ChooseFolder(chooseNewFolder, QStringLiteral("New level folder"));
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
    const bool made = std::filesystem::create_directories(folder, error);
    // The first failure stops the copy and is the one reported; what was copied goes again.
    std::vector<std::filesystem::path> copied;
    for (const auto& entry :
         std::filesystem::directory_iterator(installation_.bundledCircuit, error)) {
        if (!entry.is_regular_file() || entry.path().filename() == "vornak") {
            continue;
        }
        const std::filesystem::path target = folder / entry.path().filename();
        if (!std::filesystem::copy_file(entry.path(), target, error)) {
            error = error ? error : std::make_error_code(std::errc::file_exists);
            inform(QStringLiteral("Cannot make the level in %1: cannot copy %2: %3")
                       .arg(chosen, ToQString(entry.path().filename()),
                            QString::fromStdString(error.message())));
            std::error_code ignored;
            for (const std::filesystem::path& file : copied) {
                std::filesystem::remove(file, ignored);
            }
            if (made) {
                std::filesystem::remove(folder, ignored);
            }
            return;
        }
        copied.push_back(target);
    }
    if (error) {
        inform(QStringLiteral("Cannot make the level in %1: %2")
                   .arg(chosen, QString::fromStdString(error.message())));
        return;
    }
    Open(folder);
}

// Choosers start beside the level in hand, or where the last one was chosen, never in whatever
// folder the editor happened to start from.
QString EditorWindow::ChooseFolder(
    const std::function<QString(const QString&, const QString&)>& chooser, const QString& title) {
    QString start = settings_.value(QStringLiteral("last folder")).toString();
    if (!document_.IsUntitled()) {
        start = ToQString(document_.Folder().parent_path());
    }
    if (start.isEmpty() || !std::filesystem::is_directory(FromQString(start))) {
        start = QDir::homePath();
    }
    QString chosen = chooser(title, start);
    if (!chosen.isEmpty()) {
        settings_.setValue(QStringLiteral("last folder"),
                           ToQString(FromQString(chosen).parent_path()));
    }
    return chosen;
}

bool EditorWindow::Save() {
    return document_.IsUntitled() ? SaveAs() : SaveTo(document_.Folder());
}

bool EditorWindow::SaveAs() {
    const QString chosen =
        ChooseFolder(chooseNewFolder, QStringLiteral("Save the level in a folder"));
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
    return SaveTo(folder);
}

bool EditorWindow::SaveTo(const std::filesystem::path& folder) {
    view_->EndStroke();
    // A save into another folder leaves this one's files as they are: nothing to ask about them.
    if (document_.SavesInPlace(folder) && !document_.Rewrites().empty() && !rewritesAccepted_) {
        QString text;
        for (const std::string& rewrite : document_.Rewrites()) {
            text += QString::fromStdString(rewrite) + QStringLiteral("\n\n");
        }
        if (!confirm(text + QStringLiteral("Save in that form?"))) {
            return false;
        }
        rewritesAccepted_ = true;
    }
    // What another program writes while the question is open, or during the save, stops the save
    // before it is lost, and is asked about in turn.
    for (;;) {
        LevelDocument::SavePlan plan = document_.PlanSave(folder);
        if (!plan.refusal.empty()) {
            inform(QStringLiteral("The level was not saved: %1")
                       .arg(QString::fromStdString(plan.refusal)));
            return false;
        }
        if (!ConfirmPlan(plan)) {
            return false;
        }
        const std::string failure = document_.CommitSave(plan);
        if (failure.empty()) {
            break;
        }
        inform(QStringLiteral("The level was not saved: %1").arg(QString::fromStdString(failure)));
        if (document_.ChangedInSave().empty()) {
            return false;
        }
    }
    recovery_.Discard();
    WatchLevel();
    view_->ReloadPictures();
    FillPalette();
    CheckNow();
    UpdateTitle();
    RememberRecent(folder);
    return true;
}

// The level maker's work in another program, another level's files in the folder, and pictures
// the level would lose never go without a question that names them.
bool EditorWindow::ConfirmPlan(LevelDocument::SavePlan& plan) {
    if (!plan.questions.empty()) {
        QStringList lines;
        for (const LevelDocument::SavePlan::Question& question : plan.questions) {
            lines << QString::fromStdString(question.name + ": " + question.why);
        }
        const QString list = lines.join(QLatin1Char('\n'));
        const QString text =
            document_.SavesInPlace(plan.folder)
                ? QStringLiteral(
                      "Saving writes the level as the editor holds it, and these are "
                      "not as the editor left them:\n\n%1\n\nWhat another program "
                      "did to them is lost. Save anyway?")
                      .arg(list)
                : QStringLiteral(
                      "Saving into %1 writes the level as the editor holds it:\n\n%2"
                      "\n\nSave anyway?")
                      .arg(ToQString(plan.folder), list);
        if (!confirm(text)) {
            return false;
        }
    }
    if (!plan.extras.empty()) {
        QStringList names;
        for (const LevelDocument::SavePlan::File& extra : plan.extras) {
            names << QString::fromStdString(extra.name);
        }
        const int answer = choose(
            QStringLiteral("%1 holds files that this level does not have:\n\n%2\n\nKept, they "
                           "become part of the level saved there, and the game plays it with "
                           "them.")
                .arg(ToQString(plan.folder), names.join(QLatin1Char('\n'))),
            {QStringLiteral("Remove them"), QStringLiteral("Keep them")});
        if (answer < 0) {
            return false;
        }
        plan.removeExtras = answer == 0;
    }
    return true;
}

bool EditorWindow::Play() {
    CheckNow();
    // The level as it stands is played, saved or not: the saved files' errors do not stop it.
    for (std::size_t index = 0; index < memoryFindings_; ++index) {
        const Diagnostic& diagnostic = diagnostics_[index];
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
    if (play_.Game() != nullptr) {
        inform(QStringLiteral("The game is already running."));
        return false;
    }
    const QString reasons = play_.Start(document_);
    if (!reasons.isEmpty()) {
        inform(QStringLiteral("The game cannot be started to play the level. Tried:\n\n") +
               reasons);
        return false;
    }
    return true;
}

}  // namespace vornak::editor
