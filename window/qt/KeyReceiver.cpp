// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "KeyReceiver.h"

#include <QKeyEvent>
#include <QPainter>

#include "VirtualKeys.h"

namespace vornak {

KeyReceiver::KeyReceiver(QWidget* parent, KeyDownHandler onKeyDown)
    : QWidget(parent), onKeyDown_(std::move(onKeyDown)) {
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(QStringLiteral("Arrow keys steer car 1, W A S D steer car 2 while this bar is lit"));
}

void KeyReceiver::keyPressEvent(QKeyEvent* event) {
    const int keyCode =
        VirtualKeyCode(event->key(), event->nativeScanCode(),
                       layout_.LettersFor(static_cast<unsigned>(event->nativeModifiers())));
    if (keyCode == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    onKeyDown_(keyCode, ShiftState(static_cast<int>(event->modifiers())));
}

void KeyReceiver::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void KeyReceiver::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void KeyReceiver::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const bool steering = hasFocus();
    painter.fillRect(rect(), steering ? QColor(0x3c, 0xd0, 0x4a) : QColor(0x80, 0x80, 0x80));
    painter.setPen(steering ? QColor(0x14, 0x5a, 0x1c) : QColor(0x50, 0x50, 0x50));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vornak
