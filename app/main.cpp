#include <QApplication>
#include <QFile>

#include "frmGame.h"

int main(int argc, char* argv[]) {
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
