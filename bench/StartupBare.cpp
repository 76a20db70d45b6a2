// The reference for start-up: a bare Qt Widgets window of the game's size with one button,
// ending at its first painted frame.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QWidget>

namespace {

class QuitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Vornak"));
    window.setFixedSize(417, 241);
    QPushButton button(QStringLiteral("Start!"), &window);
    button.setGeometry(328, 8, 81, 25);
    QuitAfterFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return QApplication::exec();
}
