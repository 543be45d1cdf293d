// The program's command line: `tessavorin [PICTURE | FOLDER]`, or --help.
// Qt's own options (-platform, -style, ...) are taken out by QApplication
// before this reads what is left.
#pragma once

#include <string>

struct TCommandLine {
    bool Help = false; // -h or --help: print Usage and end
    std::string Path;  // the first picture or folder named, as given
    std::string Error; // an option the program does not know, said for people
};

TCommandLine ParseCommandLine(int argc, const char* const* argv);

extern const char Usage[];
