// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "RunButton.h"

#include <QKeyEvent>

namespace vornak {

RunButton::RunButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
}

void RunButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

}  // namespace vornak
