#include <QApplication>
#include <QFile>

#include "frmGame.h"

int main(int argc, char* argv[]) {
    // Each tick repaints two small car rectangles. Through X shared memory Qt waits for the
    // server on every such flush, which costs more than sending the few bytes over the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication application(argc, argv);
    // Qt finds the real executable, symlinks resolved; the level lives beside it.
    const std::filesystem::path programDir =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    vornak::frmGame window(programDir);
    if (!window.Form_Load()) {
        return 1;
    }
    window.ShowCentred();
    return QApplication::exec();
}
