#include "command_line.h"
#include "main_window.h"

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
    QSettings settings; // the folder last chosen in an open dialog, the window's place and zoom
    TfrmMain::TOptions options;
    options.Settings = &settings;
    TMainWindow window(std::move(options), &settings);
    window.show();
    if (!line.Path.empty()) window.Form().OpenPath(line.Path);
    return QApplication::exec();
}
