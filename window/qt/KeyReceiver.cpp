// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#include "KeyReceiver.h"

#include <QKeyEvent>
#include <QPainter>

#include "GameWindow.h"
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
    const Qt::KeyboardModifiers held = event->modifiers();
    onKeyDown_(keyCode,
               ShiftState(held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                          held.testFlag(Qt::AltModifier)));
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
    const KeyBarColours colours = KeyBarColoursFor(hasFocus());
    painter.fillRect(rect(), QColor(static_cast<QRgb>(colours.fill)));
    painter.setPen(QColor(static_cast<QRgb>(colours.edge)));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vornak
