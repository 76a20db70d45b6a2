// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace vornak::bench {

// Ends the application once the watched widget has painted its first frame, so that start-up
// can be timed as a whole process.
class QuitAfterFirstPaint : public QObject {
  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace vornak::bench
