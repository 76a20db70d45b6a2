// The game's start-up exactly as app/main.cpp does it, ending at the first painted frame, so that
// start-up can be timed as a whole process.
#include <QApplication>
#include <QEvent>
#include <QFile>

#include "frmGame.h"

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
    const std::filesystem::path programDir =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    vornak::frmGame window(programDir);
    if (!window.Form_Load()) {
        return 1;
    }
    QuitAfterFirstPaint quit;
    window.playfield()->installEventFilter(&quit);
    window.ShowCentred();
    return QApplication::exec();
}
