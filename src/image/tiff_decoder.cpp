// TIFF decoding for the intake, through QtGui's image reader (the TIFF
// plugin of Qt's image formats) with the format forced to TIFF: the content
// chose this decoder. Only the first picture of a file with several is read.
//
// Reads: the TIFF file at `path`: its header first, and the size the reader
// finds in the first directory, to refuse a picture too large to decode
// before anything is allocated; then the whole picture. Writes: a new bitmap
// of what lands on the grid, blue-green-red, by the same rule as a PNG:
// grey and palette expanded to colour, 16-bit and other depths reduced to
// 8 bits per channel, transparent pixels composited over white; orientation
// tags, gamma and colour profiles are not applied. Leaves: placing that
// bitmap on the grid to the intake.
#include "decode_budget.h"
#include "decoders.h"
#include "picture_file.h"
#include "picture_messages.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <fstream>
#include <string>

TBitmap DecodeTiff(const std::string& path, TPictureSize* size, TPlacement* placement) {
    std::ifstream file;
    OpenPictureFile(path, file);
    unsigned char head[8] = {};
    file.read(reinterpret_cast<char*>(head), sizeof head);
    const size_t got = size_t(file.gcount());
    const bool tiff =
        got >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0);
    if (!tiff) FailPicture(path, WrongKindCause(head, got, "TIFF"));
    if (got < sizeof head) FailPicture(path, "the file ends early; it may be incomplete");
    file.close();

    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    const std::unique_ptr<QFile> device = OpenPictureDevice(path);
    QImageReader reader(device.get(), "tiff");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false); // the grid takes the pixels as stored
    if (!reader.canRead())
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported");
    // Up to eight bytes a pixel (16-bit channels): refuse before Qt allocates.
    const QSize stated = reader.size();
    if (!stated.isValid() || stated.isEmpty())
        FailPicture(path, "the picture data is damaged (it states no size)");
    if ((long long)stated.width() * stated.height() > MaxDecodeBytes / 8)
        FailPicture(path, TooLargeCause(stated.width(), stated.height()));
    const int bits = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
    const TDecodeReservation memory(path, (long long)stated.width() * stated.height() *
                                              (bits > 0 ? (bits + 7) / 8 : 8));
    const QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported (" +
                              reader.errorString().toStdString() + ")");
    }
    const TPlacement placed =
        ResolvePlacement(placement ? *placement : TPlacement{}, image.width(), image.height());
    TBitmap out = PlaceImage(image, placed, OverWhiteBgr);
    if (placement) *placement = placed;
    if (size) *size = {image.width(), image.height()};
    return out;
}
