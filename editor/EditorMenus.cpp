// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The editor's menus, toolbar and keys: every action a level maker has, in one place.
#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>
#include <tuple>

#include "EditorWindow.h"

#include <QUndoStack>
#include "QtPaths.h"

namespace vornak::editor {

namespace {

constexpr int MaxRecent = 8;

}  // namespace

QAction* EditorWindow::AddAction(QMenu* menu, const QString& text, const QKeySequence& key,
                                 const std::function<void()>& run) {
    QAction* action = menu->addAction(text);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    // Every command ends a stroke under way first, so that a shift or a mirror pressed while a
    // button is held is a step of its own and not part of the stroke's.
    connect(action, &QAction::triggered, this, [this, run] {
        view_->EndStroke();
        run();
    });
    return action;
}

void EditorWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Level"));
    AddAction(file, QStringLiteral("&New"), QKeySequence::New, [this] { NewUntitled(); });
    AddAction(file, QStringLiteral("New from the &circuit…"), QKeySequence(),
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
    // A short tile map has no tiles past its end to give the cells around the selection.
    const auto refused = [this](bool done) {
        if (!done) {
            inform(
                QStringLiteral("The tile map ends inside the selection, and this would give "
                               "tiles to cells outside it. Select up to the map's end, or "
                               "paint the cells after it first."));
        }
    };
    AddAction(file, QStringLiteral("Mirror &left–right"), {},
              [this, refused] { refused(document_.Mirror(true, view_->Selection())); });
    AddAction(file, QStringLiteral("Mirror to&p–bottom"), {},
              [this, refused] { refused(document_.Mirror(false, view_->Selection())); });
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
                  [this, byColumns, byRows, refused] {
                      refused(document_.Shift(byColumns, byRows, view_->Selection()));
                  });
    }
    file->addSeparator();
    AddAction(file, QStringLiteral("&Play"), Qt::Key_F5, [this] { Play(); });
    file->addSeparator();
    AddAction(file, QStringLiteral("&Quit"), QKeySequence::Quit, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    // A stroke under way ends first, as one step: undoing inside it would let the stroke's own
    // step bring the undone one back, and lose the redo.
    QUndoStack& stack = document_.UndoStack();
    QAction* undo =
        AddAction(edit, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] {
            view_->EndStroke();
            document_.UndoStack().undo();
        });
    QAction* redo = AddAction(edit, QStringLiteral("&Redo"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] {
                                  view_->EndStroke();
                                  document_.UndoStack().redo();
                              });
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // Both stay enabled: in a first stroke there is nothing on the stack yet, and a disabled
    // action would ignore its key. With nothing to undo or redo, they do nothing.
    connect(&stack, &QUndoStack::undoTextChanged, undo, [undo](const QString& text) {
        undo->setText(text.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + text);
    });
    connect(&stack, &QUndoStack::redoTextChanged, redo, [redo](const QString& text) {
        redo->setText(text.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + text);
    });
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
    wallsAction_ = AddAction(view, QStringLiteral("Show &walls"), Qt::Key_H,
                             [this] { view_->SetWallsShown(!view_->WallsShown()); });
    wallsAction_->setCheckable(true);
    wallsAction_->setChecked(view_->WallsShown());
    gridAction_ = AddAction(view, QStringLiteral("Show &grid"), Qt::Key_G,
                            [this] { view_->SetGridShown(!view_->GridShown()); });
    gridAction_->setCheckable(true);
    gridAction_->setChecked(view_->GridShown());

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
        "  Ctrl+Shift+arrow  shift the selection, or the whole level, by one cell\n"
        "\n"
        "Level\n"
        "  Ctrl+N  new, untitled     Ctrl+O  open     Ctrl+S  save     Ctrl+Shift+S  save as\n"
        "  Level > New from the circuit...  a new level folder, copied from the circuit\n"
        "  F5  play the level       F1  this list");
}

void EditorWindow::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = settings_.value(QStringLiteral("recent")).toStringList();
    for (const QString& folder : recent) {
        QAction* action = recentMenu_->addAction(folder);
        // A folder moved or removed since would open as an empty level of its name.
        connect(action, &QAction::triggered, this, [this, folder] {
            std::error_code error;
            if (!std::filesystem::is_directory(FromQString(folder), error)) {
                inform(QStringLiteral("%1 is no longer there.").arg(folder));
                QStringList kept = settings_.value(QStringLiteral("recent")).toStringList();
                kept.removeAll(folder);
                settings_.setValue(QStringLiteral("recent"), kept);
                FillRecentMenu();
            } else if (AskToKeepChanges()) {
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

}  // namespace vornak::editor
