// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// vornak-editor: makes, checks and plays Vornak levels without touching a text file.
#include <QApplication>
#include <QMessageBox>
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
    // A folder that is not there would open as an empty level with its name, as if it were one.
    if (std::error_code error; !folder.empty() && !std::filesystem::is_directory(folder, error)) {
        const QString message =
            QString::fromLocal8Bit(folder.c_str()) +
            (std::filesystem::exists(folder, error)
                 ? QStringLiteral(" is not a folder. A level is a folder that holds TilesMap.txt, "
                                  "BlocksMap.txt, Cars.txt and the pictures.")
                 : QStringLiteral(" does not exist. Give the folder of a level, or no folder "
                                  "for a new level."));
        std::cerr << "vornak-editor: " << message.toLocal8Bit().constData() << "\n";
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
            qgetenv("QT_QPA_PLATFORM") != "offscreen") {
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Vornak level editor"), message);
            box.setTextFormat(Qt::PlainText);
            box.exec();
        }
        return 2;
    }
    vornak::editor::EditorWindow window(vornak::editor::Installation::Find(), folder);
    window.show();
    window.OfferRecovery();
    return QApplication::exec();
}
