#include "command_line.h"
#include "uMain.h"

#include <QApplication>
#include <QSettings>

#include <iostream>

int main(int argc, char** argv) {
    // --help needs no display: answered before Qt looks for one.
    if (ParseCommandLine(argc, argv).Help) {
        std::cout << Usage;
        return 0;
    }
    QApplication app(argc, argv); // takes Qt's own options out of argv
    QApplication::setApplicationName("Tessavorin");
    QApplication::setOrganizationName("Tessavorin");
    const TCommandLine line = ParseCommandLine(argc, argv);
    if (!line.Error.empty()) {
        std::cerr << line.Error << "\n\n" << Usage;
        return 2;
    }
    QSettings settings; // the folder last chosen in an open dialog
    TfrmMain::TOptions options;
    options.Settings = &settings;
    TfrmMain frmMain(std::move(options));
    frmMain.show();
    if (!line.Path.empty()) frmMain.OpenPath(line.Path);
    return QApplication::exec();
}
