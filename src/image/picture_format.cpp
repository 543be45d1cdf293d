#include "picture_format.h"

#include "intake.h"

#include <cstring>
#include <filesystem>
#include <fstream>

bool FormatOfContent(const unsigned char* head, size_t size, TPictureFormat& format) {
    auto starts = [&](const char* magic, size_t n) {
        return size >= n && std::memcmp(head, magic, n) == 0;
    };
    if (starts("\xFF\xD8\xFF", 3))
        format = TPictureFormat::Jpeg;
    else if (starts("\x89PNG\r\n\x1A\n", 8))
        format = TPictureFormat::Png;
    else if (starts("BM", 2))
        format = TPictureFormat::Bmp;
    else if (starts("II*\0", 4) || starts("MM\0*", 4))
        format = TPictureFormat::Tiff;
    else
        return false;
    return true;
}

TPictureFormat PictureFormatOf(const std::string& path) {
    // Only a plain file is opened: opening a pipe would wait for a writer.
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) {
        unsigned char head[8] = {};
        std::ifstream file(path, std::ios::binary);
        if (file) file.read(reinterpret_cast<char*>(head), sizeof head);
        TPictureFormat format;
        if (file.gcount() > 0 && FormatOfContent(head, size_t(file.gcount()), format))
            return format;
    }
    const std::string extension = UpperExtension(path);
    if (extension == ".BMP") return TPictureFormat::Bmp;
    if (extension == ".PNG") return TPictureFormat::Png;
    if (extension == ".TIF" || extension == ".TIFF") return TPictureFormat::Tiff;
    return TPictureFormat::Jpeg;
}

const char* QtFormatName(TPictureFormat format) {
    switch (format) {
    case TPictureFormat::Png:
        return "png";
    case TPictureFormat::Bmp:
        return "bmp";
    case TPictureFormat::Tiff:
        return "tiff";
    default:
        return "jpeg";
    }
}
