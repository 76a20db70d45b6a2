// SPDX-FileCopyrightText: The Vornak developers
// SPDX-License-Identifier: MIT

// The floor for CPU while playing: a bare Qt window of the game's size whose 50 ms clock slides
// two 16 x 16 squares 4 pixels a tick and repaints just their old and new places, as the game
// does, with no game logic and no picture files.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class SlidingSquares : public QWidget {
  public:
    SlidingSquares() {
        setWindowTitle(QStringLiteral("Vornak"));
        setFixedSize(417, 241);
        clock_.setInterval(50);
        clock_.setTimerType(Qt::PreciseTimer);
        connect(&clock_, &QTimer::timeout, this, [this] { Tick(); });
        clock_.start();
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::darkGray);
        painter.fillRect(QRect(x_, 176, 16, 16), Qt::red);
        painter.fillRect(QRect(x_, 192, 16, 16), Qt::blue);
    }

  private:
    void Tick() {
        const int old = x_;
        x_ = (x_ + 4) % 300;
        repaint(QRegion(QRect(old, 176, 16, 32)) + QRect(x_, 176, 16, 32));
    }

    QTimer clock_;
    int x_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication application(argc, argv);
    SlidingSquares window;
    window.show();
    return QApplication::exec();
}
