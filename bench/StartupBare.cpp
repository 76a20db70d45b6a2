// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The reference for start-up: a bare Qt Widgets window of the game's size with one button,
// ending at its first painted frame.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "QuitAfterFirstPaint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Vornak"));
    window.setFixedSize(417, 241);
    QPushButton button(QStringLiteral("Start!"), &window);
    button.setGeometry(328, 8, 81, 25);
    vornak::bench::QuitAfterFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
