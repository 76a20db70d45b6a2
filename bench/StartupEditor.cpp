// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The editor's start-up on a level folder, ending when the playfield is first drawn.
#include <QApplication>

#include "EditorWindow.h"
#include "QuitAfterFirstPaint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vornak::bench::QuitAfterFirstPaint quit;
    vornak::editor::EditorWindow window(vornak::editor::Installation::Find(),
                                        argc > 1 ? argv[1] : VORNAK_LEVEL_DIR);
    window.View()->installEventFilter(&quit);
    window.resize(1000, 720);
    window.show();
    return QApplication::exec();
}
