// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    // The window tests need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
