// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QSettings>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <vector>

#include "Installation.h"
#include "LevelCheck.h"
#include "LevelDocument.h"
#include "LevelView.h"
#include "PlaySession.h"
#include "Recovery.h"

class QAction;
class QDockWidget;
class QActionGroup;
class QLabel;
class QListWidget;
class QProcess;

namespace vornak::editor {

// The level editor's window: the playfield in the middle, the tile palette on the left, the
// checker's findings below, and the tools and actions in menus and on keys.
class EditorWindow : public QMainWindow {
  public:
    EditorWindow(Installation installation, const std::filesystem::path& folder);
    ~EditorWindow() override;

    LevelDocument& Document() { return document_; }
    LevelView* View() const { return view_; }
    QListWidget* Palette() const { return palette_; }
    QListWidget* Findings() const { return findings_; }
    const std::vector<Diagnostic>& Diagnostics() const { return diagnostics_; }
    QString StatusText() const;
    // What another program changed in the open level's folder, shown in the status line.
    QString DiskStatusText() const;
    // Offers the unsaved levels of editors that ended without saving or discarding them.
    void OfferRecovery();

    // Runs the checker on the level as it stands now, rather than after the usual short pause.
    void CheckNow();
    bool Save();
    // The untitled level the editor starts with when given no folder, on the circuit's
    // pictures; Save asks where it goes.
    void NewUntitled();
    void NewFromCircuit();
    void ImportTile();
    void ImportCar();
    // Starts the game on the level as it stands; false, with a message, when it cannot.
    bool Play();
    // The running game, while there is one.
    QProcess* Game() const { return play_.Game(); }

    // Every question, choice and message goes through one of these, so tests can answer them;
    // by default they are the usual dialogs. An empty answer is a cancel.
    std::function<bool(const QString& question)> confirm;
    std::function<void(const QString& message)> inform;
    enum class Unsaved { Save, Discard, Cancel };
    std::function<Unsaved()> askAboutUnsaved;
    std::function<QString(const QString& title, const QString& filter)> choosePicture;
    // An existing folder, and a folder for a new level (an empty one, or one made in the chooser),
    // starting at start.
    std::function<QString(const QString& title, const QString& start)> chooseFolder;
    std::function<QString(const QString& title, const QString& start)> chooseNewFolder;
    std::function<QString(const QString& question, const QStringList& items)> chooseItem;
    // One of a few answers, each a button; its index, or -1 for Cancel.
    std::function<int(const QString& question, const QStringList& answers)> choose;
    std::function<QColor(QColor initial, const QString& title)> chooseColour;
    // One tile character, offered first as suggested, with the characters the level uses.
    std::function<QString(const QString& question, const QString& suggested, const QString& used)>
        chooseCharacter;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void UseDialogs();
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const QString& text, const QKeySequence& key,
                       const std::function<void()>& run);
    void Open(const std::filesystem::path& folder);
    // Brings the view, the palette, the findings and the title up to a document just opened or
    // started.
    void ShowNewDocument();
    void OpenFolder();
    bool SaveAs();
    QString ChooseFolder(const std::function<QString(const QString&, const QString&)>& chooser,
                         const QString& title);
    bool SaveTo(const std::filesystem::path& folder);
    bool ConfirmPlan(LevelDocument::SavePlan& plan);
    bool AskToLeaveTheGame();
    bool AskToKeepChanges();
    void SetTool(Tool tool);
    void TurnCar(const char* heading);
    void DocumentChanged();
    void UpdateTitle();
    void FillPalette();
    void FillRecentMenu();
    void RememberRecent(const std::filesystem::path& folder);
    static QString KeysHelp();
    void AddSavedFindings();
    void SetUpRecovery();
    void KeepForRecovery();
    void WatchLevel();
    void ShowDiskChanges();
    void ShowFindings();
    void ShowHover(int cell);
    void FindingClicked(int row);
    // A picture the level maker picks for import, or a null image when there is none.
    QImage ChoosePicture(const QString& title);
    bool TakeInPictures(const std::map<std::string, std::string>& pictures, const QString& edit);

    Installation installation_;
    LevelDocument document_;
    PlaySession play_;
    LevelView* view_;
    QListWidget* palette_;
    QListWidget* findings_;
    QLabel* hover_;
    QDockWidget* paletteDock_ = nullptr;
    QDockWidget* findingsDock_ = nullptr;
    bool docksSized_ = false;
    QActionGroup* tools_ = nullptr;
    QAction* wallsAction_ = nullptr;
    QAction* gridAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    // The zoom, the window's place and the recent levels outlive the editor.
    QSettings settings_{QStringLiteral("vornak"), QStringLiteral("vornak-editor")};
    int hoveredCell_ = -1;
    // The pictures set in the editor that the view and palette show.
    LevelDocument::Pictures shownPictures_;
    std::vector<QAction*> turnActions_;
    QTimer checkTimer_;
    Recovery recovery_;
    QTimer recoveryTimer_;
    QFileSystemWatcher watcher_;
    QTimer watchTimer_;
    QLabel* diskStatus_;
    std::vector<Diagnostic> diagnostics_;
    std::vector<int> findingCells_;  // the cell each finding points to, or -1
    // The findings of the level as it stands come first; the saved files' own follow.
    std::size_t memoryFindings_ = 0;
    bool rewritesAccepted_ = false;
};

}  // namespace vornak::editor
