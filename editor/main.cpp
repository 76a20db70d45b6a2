// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// vornak-editor: makes, checks and plays Vornak levels without touching a text file.
#include <QApplication>
#include <cstring>
#include <iostream>

#include "EditorWindow.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The window class the desktop entry names.
    QCoreApplication::setApplicationName(QStringLiteral("vornak-editor"));
    QGuiApplication::setDesktopFileName(QStringLiteral("net.vornak.Vornak.Editor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/net.vornak.Vornak.Editor.png")));
    std::filesystem::path folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "Usage: vornak-editor [DIR]\n\nOpens the Vornak level in DIR, or a new "
                         "level. See vornak-editor(6).\n";
            return 0;
        }
        if (!folder.empty()) {
            std::cerr << "Usage: vornak-editor [DIR]\n";
            return 2;
        }
        folder = argv[i];
    }
    vornak::editor::EditorWindow window(vornak::editor::Installation::Find(), folder);
    window.resize(1000, 720);
    window.show();
    return QApplication::exec();
}
