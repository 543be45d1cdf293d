#include "intake.h"

#include "decoders.h"
#include "picture_messages.h"

#include <cctype>
#include <new>

std::string UpperExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot);
    for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

TPictureSize LoadPicture(const std::string& path, TBitmap& picture) {
    if (path.empty()) return {};
    // The extension alone decides the decoder, whatever the content.
    TBitmap decoded;
    TPictureSize size;
    try {
        const std::string extension = UpperExtension(path);
        decoded = extension == ".BMP"   ? DecodeBmp(path, &size)
                  : extension == ".PNG" ? DecodePng(path, &size)
                                        : DecodeJpeg(path, &size);
    } catch (const std::bad_alloc&) {
        FailPicture(path, "there is not enough memory to decode it");
    }
    DrawBitmap(picture, 0, 0, decoded);
    return size;
}
