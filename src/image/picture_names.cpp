#include "picture_names.h"

#include <cctype>

bool IsPictureName(const std::string& name) {
    if (name.empty() || name[0] == '.') return false; // hidden files are not listed
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return false;
    std::string ext = name.substr(dot);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known : PictureExtensions)
        if (ext == known) return true;
    return false;
}

std::string JoinedPictureExtensions(const std::string& prefix, const std::string& separator) {
    std::string out;
    for (const char* ext : PictureExtensions) {
        if (!out.empty()) out += separator;
        out += prefix + ext;
    }
    return out;
}
