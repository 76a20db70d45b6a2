#pragma once

#include <QWidget>
#include <functional>

namespace vornak {

// Holds the keyboard focus for the players and hands on every key-down, repeats included.
// It lights up while it has the focus, so the players can see that the keys will steer.
class KeyReceiver : public QWidget {
  public:
    using KeyDownHandler = std::function<void(int keyCode, int shift)>;

    KeyReceiver(QWidget* parent, KeyDownHandler onKeyDown);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    KeyDownHandler onKeyDown_;
};

}  // namespace vornak
