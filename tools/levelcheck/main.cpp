// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// vornak-levelcheck: reads a level the way the game does and reports, in compiler style, what
// would stop the game and what a level maker rarely means. Never writes into the level.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "LevelCheck.h"
#include "PathText.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "Win32Text.h"
#endif

#ifdef VORNAK_QT
#include <QApplication>

#include "RenderStartScreen.h"
#endif

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
    "            or walled in on all four sides, a wall under a tile that is open\n"
    "            elsewhere or no wall under a barrier tile, a heading that is not up,\n"
    "            down, left or right, a picture that is not\n"
    "            16 x 16, a picture the level never uses, a missing map file, tile\n"
    "            characters whose pictures Windows cannot tell apart or name\n"
    "\n"
    "--render OUT.png  draws the playfield as the game first shows it, into OUT.png\n"
    "\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (or a usage error).\n";

#ifdef VORNAK_QT
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
#else
// Drawing the start screen needs the Qt window; the Windows checker checks only.
int Render(const std::filesystem::path& /*folder*/, const char* /*out*/) {
    std::cerr << "vornak-levelcheck: --render is not available on Windows\n";
    return 2;
}
#endif

}  // namespace

#ifdef VORNAK_QT
// The checker's findings are its output; Qt's own chatter (about runtime folders and the like)
// would only muddle them.
void QuietQt(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtFatalMsg) {
        std::cerr << message.toLocal8Bit().constData() << "\n";
        std::abort();
    }
}
#endif

// The arguments as UTF-8 on Windows, whose own are in the ANSI code page, where a folder
// named in another script would not survive; as the bytes given elsewhere.
std::vector<std::string> Arguments(int argc, char* argv[]) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(vornak::Utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);
    return arguments;
#else
    return {argv, argv + argc};
#endif
}

int main(int argc, char* argv[]) {
#ifdef VORNAK_QT
    // The checker draws nothing on screen, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQt);
    QApplication application(argc, argv);
#endif
    const std::vector<std::string> arguments = Arguments(argc, argv);
    const char* renderTo = nullptr;
    const char* folder = nullptr;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // Windows programs answer /? with their help.
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            std::cout << Usage;
            return 0;
        }
        if (argument == "--render" && i + 1 < arguments.size()) {
            renderTo = arguments[++i].c_str();
        } else if (argument.empty() || argument[0] == '-' || folder != nullptr) {
            std::cerr << Usage;
            return 2;
        } else {
            folder = argument.c_str();
        }
    }
    const std::filesystem::path level = folder == nullptr ? "" : vornak::Utf8Path(folder);
    if (renderTo != nullptr) {
        return Render(level, renderTo);
    }
    const std::vector<vornak::Diagnostic> diagnostics = vornak::CheckLevel(level);
    for (const vornak::Diagnostic& diagnostic : diagnostics) {
        std::cout << vornak::FormatDiagnostic(diagnostic) << "\n";
    }
    return vornak::ExitStatusFor(diagnostics);
}
