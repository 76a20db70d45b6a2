// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QPushButton>

namespace vornak {

// cmdRun. It takes the focus only by Tab: a click, a right-click or a press dragged off it must
// never pull the keys away from the players, since no click handler would hand them back. With
// the focus, Space and Enter both press it.
class RunButton : public QPushButton {
  public:
    RunButton(const QString& caption, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vornak
