// PNG decoding for the intake, through QtGui's image reader with the format
// forced to PNG: the content chose this decoder (picture_format.h), and it is
// not for Qt to choose another.
//
// Reads: the PNG file at `path`: its chunk headers first, to refuse a file
// cut short or a picture too large to decode, then the whole picture.
// Writes: a new bitmap of what lands on the grid (by default the top-left
// min(width, 256) x min(height, 256) pixels), blue-green-red, in the same
// 24-bit form as a BMP: palette and grey
// expanded to colour, 16-bit channels rounded to 8 bits, transparent pixels
// composited over white. Gamma and colour profiles are not applied: pixels
// come as stored. Leaves: placing that bitmap on the grid to the intake.
#include "decode_budget.h"
#include "decoders.h"
#include "picture_file.h"
#include "picture_messages.h"

#include <QImage>
#include <QImageReader>

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t ReadBE(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct TPngHeader {
    uint32_t Width = 0, Height = 0;
    int BitDepth = 0, ColourType = 0, Interlace = 0;
};

// The kind of picture in words, for messages about files the reader refuses.
std::string PngVariant(const TPngHeader& h) {
    const char* kind = h.ColourType == 0   ? "grey"
                       : h.ColourType == 2 ? "colour"
                       : h.ColourType == 3 ? "palette"
                       : h.ColourType == 4 ? "grey with alpha"
                       : h.ColourType == 6 ? "colour with alpha"
                                           : "unknown colour type";
    std::string v = std::string(kind) + ", " + std::to_string(h.BitDepth) + " bits per sample";
    if (h.Interlace != 0) v += ", interlaced";
    return v;
}

// Walks the chunks from the header to IEND without reading their data:
// false when the file ends before IEND's last byte. Qt's reader would turn
// such a file into an error of its own or, for a cut after the picture data,
// into a picture; either way the cause is better said plainly.
bool ChunksComplete(std::ifstream& file, unsigned long long fileSize) {
    unsigned long long at = sizeof Signature;
    for (;;) {
        uint8_t head[8];
        file.clear();
        file.seekg(std::streamoff(at));
        if (!file.read(reinterpret_cast<char*>(head), 8)) return false;
        const unsigned long long end = at + 12 + ReadBE(head); // length, type, data, CRC
        if (end > fileSize) return false;
        if (std::memcmp(head + 4, "IEND", 4) == 0) return true;
        at = end;
    }
}

} // namespace

TBitmap DecodePng(const std::string& path, TPictureSize* size, TPlacement* placement) {
    std::ifstream file;
    const unsigned long long fileSize = OpenPictureFile(path, file);
    uint8_t head[33] = {}; // signature, then the IHDR chunk: length, type, 13 bytes, CRC
    file.read(reinterpret_cast<char*>(head), sizeof head);
    const size_t got = size_t(file.gcount());
    if (got < sizeof Signature || std::memcmp(head, Signature, sizeof Signature) != 0)
        FailPicture(path, WrongKindCause(head, got, "PNG"));
    if (got < sizeof head) FailPicture(path, "the file ends early; it may be incomplete");
    if (ReadBE(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0)
        FailPicture(path, "the picture data is damaged (the header chunk is missing)");
    TPngHeader header;
    header.Width = ReadBE(head + 16);
    header.Height = ReadBE(head + 20);
    header.BitDepth = head[24];
    header.ColourType = head[25];
    header.Interlace = head[28];

    // Qt decodes to four bytes a pixel, eight for 16-bit samples; refuse
    // before it allocates anything.
    const unsigned long long pixelBytes = header.BitDepth == 16 ? 8 : 4;
    if (static_cast<unsigned long long>(header.Width) * header.Height >
        static_cast<unsigned long long>(MaxDecodeBytes) / pixelBytes)
        FailPicture(path, TooLargeCause(header.Width, header.Height));
    if (!ChunksComplete(file, fileSize))
        FailPicture(path, "the file ends early; it may be incomplete");
    file.close();

    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    const std::unique_ptr<QFile> device = OpenPictureDevice(path);
    QImageReader reader(device.get(), "png");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // Held until the picture is placed and let go.
    const TDecodeReservation memory(path, static_cast<long long>(header.Width) * header.Height *
                                              (long long)pixelBytes);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported (" +
                              PngVariant(header) + ")");
    }
    const TPlacement placed =
        ResolvePlacement(placement ? *placement : TPlacement{}, image.width(), image.height());
    TBitmap out = PlaceImage(image, placed, OverWhiteBgr);
    if (placement) *placement = placed;
    if (size) *size = {image.width(), image.height()};
    return out;
}
