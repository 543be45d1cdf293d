#include "startup.h"
#include "uMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    StartUpSystem();
    TfrmMain frmMain;
    frmMain.show();
    return QApplication::exec();
}
