// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QWidget>
#include <functional>

#include "KeyboardLayout.h"

namespace vornak {

// Holds the keyboard focus for the players and hands on every key-down, repeats included.
// It lights up while it has the focus, so the players can see that the keys will steer.
class KeyReceiver : public QWidget {
  public:
    using KeyDownHandler = std::function<void(int keyCode, int shift)>;

    KeyReceiver(QWidget* parent, KeyDownHandler onKeyDown);

    // Where the keys come from, which decides how letter keys are numbered.
    KeyboardLayout& Layout() { return layout_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    KeyDownHandler onKeyDown_;
    KeyboardLayout layout_;
};

}  // namespace vornak
