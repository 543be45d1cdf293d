#include "command_line.h"

const char Usage[] =
    "Usage: tessavorin [PICTURE | FOLDER]\n"
    "Shows how a picture breaks down into feature planes and areas.\n"
    "\n"
    "  PICTURE     a JPEG, PNG, BMP or TIFF file (.jpg .jpeg .jpe .jfif .png .bmp .tif\n"
    "              .tiff): its folder is listed and the picture loaded\n"
    "  FOLDER      a folder of pictures, listed instead of the samples beside the program\n"
    "  -h, --help  show this text and end\n"
    "\n"
    "Only the first PICTURE or FOLDER counts. A name that starts with '-' follows \"--\".\n";

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
    TCommandLine line;
    bool options = true; // until "--"
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "-h" || a == "--help")) {
            line.Help = true;
        } else if (options && a.size() > 1 && a[0] == '-') {
            if (line.Error.empty()) line.Error = "tessavorin: unknown option \"" + a + "\"";
        } else if (line.Path.empty()) {
            line.Path = a;
        }
    }
    return line;
}
