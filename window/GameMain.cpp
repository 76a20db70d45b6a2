#include "GameMain.h"

#include <QApplication>
#include <QFile>

#include "frmGame.h"

namespace vornak {

int RunGame(int argc, char* argv[], QObject* playfieldWatcher) {
    // Each tick repaints two small car rectangles. Through X shared memory Qt waits for the
    // server on every such flush, which costs more than sending the few bytes over the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication application(argc, argv);
    // Qt finds the real executable, symlinks resolved; the level lives beside it.
    const std::filesystem::path programDir =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    frmGame window(programDir);
    if (!window.Form_Load()) {
        return 1;
    }
    if (playfieldWatcher != nullptr) {
        window.playfield()->installEventFilter(playfieldWatcher);
    }
    window.ShowCentred();
    return QApplication::exec();
}

}  // namespace vornak
