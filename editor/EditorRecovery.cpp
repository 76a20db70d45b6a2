// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// What keeps a level maker's unsaved work through a crash, and what shows them at once that
// another program changed the open level.
#include <QDateTime>
#include <QLabel>
#include <QStatusBar>

#include "EditorWindow.h"
#include "QtPaths.h"

namespace vornak::editor {

namespace {

constexpr int KeepEveryMilliseconds = 30000;
// Programs write a file in several steps; the status line waits for the last of them.
constexpr int SettleMilliseconds = 200;

}  // namespace

void EditorWindow::SetUpRecovery() {
    recoveryTimer_.setInterval(KeepEveryMilliseconds);
    connect(&recoveryTimer_, &QTimer::timeout, this, [this] { KeepForRecovery(); });
    recoveryTimer_.start();
    watchTimer_.setSingleShot(true);
    watchTimer_.setInterval(SettleMilliseconds);
    connect(&watchTimer_, &QTimer::timeout, this, [this] {
        WatchLevel();  // a file replaced by a rename is a new file to watch
        ShowDiskChanges();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { watchTimer_.start(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            [this] { watchTimer_.start(); });
}

void EditorWindow::KeepForRecovery() {
    view_->EndStroke();
    if (!document_.IsModified()) {
        recovery_.Discard();
        return;
    }
    if (const std::string failure = recovery_.Keep(document_); !failure.empty()) {
        statusBar()->showMessage(QStringLiteral("Unsaved changes could not be kept for a crash: ") +
                                     QString::fromStdString(failure),
                                 10000);
    }
}

// A copy is removed once it is recovered or let go; one offered and put off is offered again at
// the next start.
void EditorWindow::OfferRecovery() {
    for (const Recovery::Left& left : Recovery::LeftBehind()) {
        const QString level = left.level.empty()
                                  ? QStringLiteral("an untitled level")
                                  : QStringLiteral("the level in %1").arg(ToQString(left.level));
        const QString kept = QLocale().toString(
            QDateTime::fromSecsSinceEpoch(
                std::chrono::duration_cast<std::chrono::seconds>(left.kept.time_since_epoch())
                    .count()),
            QLocale::LongFormat);
        const int answer =
            choose(QStringLiteral("The editor ended without saving the changes to %1. They were "
                                  "kept on %2. Recover them?")
                       .arg(level, kept),
                   {QStringLiteral("Recover"), QStringLiteral("Discard them")});
        if (answer == 1) {
            Recovery::Remove(left);
        }
        if (answer != 0 || !AskToKeepChanges()) {
            continue;
        }
        view_->EndStroke();
        if (const std::string failure = Recovery::Restore(left, document_); !failure.empty()) {
            inform(QStringLiteral("The changes cannot be recovered: %1")
                       .arg(QString::fromStdString(failure)));
            continue;
        }
        ShowNewDocument();
        KeepForRecovery();  // kept as this editor's before the old copy goes
        Recovery::Remove(left);
        return;
    }
}

void EditorWindow::WatchLevel() {
    if (!watcher_.files().isEmpty()) {
        watcher_.removePaths(watcher_.files());
    }
    if (!watcher_.directories().isEmpty()) {
        watcher_.removePaths(watcher_.directories());
    }
    if (document_.IsUntitled()) {
        ShowDiskChanges();
        return;
    }
    QStringList paths{ToQString(document_.Folder())};
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(document_.Folder(), error)) {
        const std::string name = entry.path().filename().string();
        if (IsLevelFileName(name) || IsPictureName(name)) {
            paths << ToQString(entry.path());
        }
    }
    watcher_.addPaths(paths);
    ShowDiskChanges();
}

void EditorWindow::ShowDiskChanges() {
    QStringList names;
    for (const std::string& name : document_.ChangedOnDisk()) {
        names << QString::fromStdString(name);
    }
    diskStatus_->setText(names.isEmpty() ? QString()
                                         : QStringLiteral("Changed on disk by another program: ") +
                                               names.join(QStringLiteral(", ")));
}

QString EditorWindow::DiskStatusText() const {
    return diskStatus_->text();
}

}  // namespace vornak::editor
