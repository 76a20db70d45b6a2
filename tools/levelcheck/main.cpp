// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// vornak-levelcheck: reads a level the way the game does and reports, in compiler style, what
// would stop the game and what a level maker rarely means. Never writes into the level.
#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "LevelCheck.h"

namespace {

constexpr const char* Usage =
    "Usage: vornak-levelcheck [DIR]\n"
    "       vornak-levelcheck --render OUT.png [DIR]\n"
    "\n"
    "Checks the Vornak level in DIR (the current folder by default) with the game's own\n"
    "loading code. It never creates or writes a file in DIR.\n"
    "\n"
    "Each finding is one line, FILE:LINE:COLUMN: error|warning: message.\n"
    "  errors    stop the game: a missing or undecodable picture, a bad line in Cars.txt,\n"
    "            more than 300 tiles or cells, a level file that is not a plain file,\n"
    "            a missing map file the game cannot create\n"
    "  warnings  the game accepts them, but they are rarely meant: a blocks-map line that\n"
    "            does not hold 20 cells (every later row shifts), fewer than 300 tiles or\n"
    "            cells, a car that starts on a wall, outside the grid or on the other car,\n"
    "            a heading that is not up, down, left or right, a picture that is not\n"
    "            16 x 16, a picture the level never uses, a missing map file\n"
    "\n"
    "--render OUT.png  draws the playfield as the game first shows it, into OUT.png\n"
    "\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (or a usage error).\n";

int Render(const std::filesystem::path& folder, const char* out) {
    std::string failure;
    const QImage frame = vornak::RenderStartScreen(folder, failure);
    if (frame.isNull()) {
        std::cerr << "vornak-levelcheck: " << failure << "\n";
        return 2;
    }
    if (!frame.save(QString::fromLocal8Bit(out), "PNG")) {
        std::cerr << "vornak-levelcheck: cannot write " << out << "\n";
        return 2;
    }
    return 0;
}

}  // namespace

// The checker's findings are its output; Qt's own chatter (about runtime folders and the like)
// would only muddle them.
void QuietQt(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtFatalMsg) {
        std::cerr << message.toLocal8Bit().constData() << "\n";
        std::abort();
    }
}

int main(int argc, char* argv[]) {
    // The checker draws nothing on screen, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQt);
    QApplication application(argc, argv);
    const char* renderTo = nullptr;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << Usage;
            return 0;
        }
        if (std::strcmp(argv[i], "--render") == 0 && i + 1 < argc) {
            renderTo = argv[++i];
        } else if (argv[i][0] == '-' || folder != nullptr) {
            std::cerr << Usage;
            return 2;
        } else {
            folder = argv[i];
        }
    }
    const std::filesystem::path level = folder == nullptr ? "" : folder;
    if (renderTo != nullptr) {
        return Render(level, renderTo);
    }
    const std::vector<vornak::Diagnostic> diagnostics = vornak::CheckLevel(level);
    for (const vornak::Diagnostic& diagnostic : diagnostics) {
        std::cout << vornak::FormatDiagnostic(diagnostic) << "\n";
    }
    return vornak::ExitStatusFor(diagnostics);
}
