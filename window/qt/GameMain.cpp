// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "GameMain.h"

#include <QApplication>

#include "GameError.h"
#include "GameSession.h"
#include "frmGame.h"

namespace vornak {

namespace {

// The kernel's link to the running executable holds its folder as raw bytes, symlinks resolved.
// Qt's applicationDirPath() comes back empty for a folder name that is not UTF-8, and an empty
// folder would make the game read, and create, level files in the current directory instead.
std::filesystem::path ProgramDirectory() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !executable.is_absolute() || !executable.has_parent_path()) {
        throw GameError("/proc/self/exe",
                        "does not say where the game is installed, so its level cannot be found" +
                            (error ? ": " + error.message() : std::string()));
    }
    return executable.parent_path();
}

// The level a player names on the command line, or the game's own.
std::filesystem::path LevelFolder(int argc, char* argv[]) {
    if (argc < 2) {
        return ProgramDirectory();
    }
    // The raw bytes, so that a folder whose name is not UTF-8 is still found.
    return NamedLevelFolder(argv[1]);
}

}  // namespace

int RunGame(int argc, char* argv[], QObject* playfieldWatcher) {
    // Each tick repaints two small car rectangles. Through X shared memory Qt waits for the
    // server on every such flush, which costs more than sending the few bytes over the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    // On a Wayland desktop the game runs through XWayland where it can: there it opens centred,
    // as it should, where a native Wayland window is placed by the compositor. Without XWayland
    // it still starts natively.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    }
    QApplication application(argc, argv);
    // One name for the window class, the Wayland app id and the desktop entry, so that docks
    // and task bars match the window to its menu entry.
    QCoreApplication::setApplicationName(QStringLiteral("Vornak"));
    QGuiApplication::setDesktopFileName(QStringLiteral("net.vornak.Vornak"));
    std::filesystem::path programDir;
    try {
        programDir = LevelFolder(argc, argv);
    } catch (const GameError& error) {
        frmGame::ReportStartFailure(QString::fromLocal8Bit(error.what()));
        return 1;
    }
    frmGame window(programDir);
    if (!window.Form_Load()) {
        return 1;
    }
    if (playfieldWatcher != nullptr) {
        window.playfield()->installEventFilter(playfieldWatcher);
    }
    window.ShowCentred();
    return QApplication::exec();
}

}  // namespace vornak
