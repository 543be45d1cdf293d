#include "uMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    TfrmMain frmMain;
    frmMain.show();
    return QApplication::exec();
}
