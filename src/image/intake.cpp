#include "intake.h"

#include "decoders.h"
#include "picture_format.h"
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

TPictureSize LoadPicture(const std::string& path, TBitmap& picture, TPlacement* placement) {
    if (path.empty()) return {};
    // The content chooses the decoder (picture_format.h).
    TBitmap decoded;
    TPictureSize size;
    try {
        switch (PictureFormatOf(path)) {
        case TPictureFormat::Bmp:
            decoded = DecodeBmp(path, &size, placement);
            break;
        case TPictureFormat::Png:
            decoded = DecodePng(path, &size, placement);
            break;
        case TPictureFormat::Tiff:
            decoded = DecodeTiff(path, &size, placement);
            break;
        default:
            decoded = DecodeJpeg(path, &size, placement);
        }
    } catch (const std::bad_alloc&) {
        FailPicture(path, "there is not enough memory to decode it");
    }
    if (decoded.Width > 0) DrawBitmap(picture, 0, 0, decoded); // a shrink may leave nothing
    return size;
}
