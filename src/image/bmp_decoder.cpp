// BMP decoding for the intake, through QtGui's image reader with the format
// forced to BMP: the content chose this decoder (picture_format.h), and it is
// not for Qt to choose another.
//
// Reads: the BMP file at `path`: its headers first, to refuse what is too
// large or cut short, then the whole picture (rows may be stored bottom
// first). Writes: a new bitmap of what lands on the grid (by default the
// top-left min(width, 256) x min(height, 256) pixels), blue-green-red; a
// fourth byte or alpha is ignored.
// Leaves: placing that bitmap on the grid to the intake.
#include "bmp_checks.h"
#include "decode_budget.h"
#include "decoders.h"
#include "picture_file.h"
#include "picture_messages.h"

#include <QImage>
#include <QImageReader>

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadBytes(std::ifstream& file, size_t count) {
    std::vector<uint8_t> bytes(count);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(count));
    bytes.resize(size_t(file.gcount()));
    return bytes;
}

// The file's bytes, read forward in pieces of 64 KiB: the run-length walk
// looks at each byte once, and a huge file never sits in memory whole.
class TFileBytes {
  public:
    TFileBytes(std::ifstream& file, size_t size) : File_(file), Size_(size) {}
    size_t size() const { return Size_; }
    uint8_t operator[](size_t i) {
        if (i < Start_ || i >= Start_ + Piece_.size()) {
            File_.clear();
            File_.seekg(std::streamoff(i));
            Start_ = i;
            Piece_ = ReadBytes(File_, 65536);
            // A file cut short since its size was taken ends where it ends.
            if (Piece_.size() < 65536) Size_ = std::min(Size_, i + Piece_.size());
        }
        return i - Start_ < Piece_.size() ? Piece_[i - Start_] : 0;
    }

  private:
    std::ifstream& File_;
    size_t Size_;
    size_t Start_ = 0;
    std::vector<uint8_t> Piece_;
};

} // namespace

TBitmap DecodeBmp(const std::string& path, TPictureSize* size, TPlacement* placement) {
    std::ifstream file;
    const unsigned long long fileSize = OpenPictureFile(path, file);
    const std::vector<uint8_t> head = ReadBytes(file, 64);
    if (head.size() < 2 || head[0] != 'B' || head[1] != 'M')
        FailPicture(path, WrongKindCause(head.data(), head.size(), "BMP"));
    TBmpHeader header;
    if (!ParseBmpHeader(head.data(), head.size(), header))
        FailPicture(path, "the file ends early; it may be incomplete");

    // Qt decodes up to 8 bits per pixel to one byte per pixel, deeper ones to
    // four; refuse before it allocates anything.
    const long long width = std::llabs(header.Width), height = std::llabs(header.Height);
    if (width * height > MaxDecodeBytes / (header.Bits <= 8 ? 1 : 4))
        FailPicture(path, TooLargeCause(width, height));

    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    const std::unique_ptr<QFile> device = OpenPictureDevice(path);
    QImageReader reader(device.get(), "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // Qt gives the header's height as it is: negative for rows stored top first.
    const QSize stored = reader.size();
    if (stored.width() <= 0 || stored.height() == 0) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "this kind of BMP picture is not supported, or its header is damaged (" +
                              BmpVariant(header) + ")");
    }

    bool cut = RowsEndEarly(header, fileSize);
    if (IsRle(header)) { // compressed rows: walk them to find where they end
        TFileBytes bytes(file, size_t(fileSize));
        cut = RleEndsEarly(bytes, header);
    }
    if (cut) FailPicture(path, "the file ends early; it may be incomplete");
    file.close();

    // Held until the picture is placed and let go.
    const TDecodeReservation memory(path, width * height * (header.Bits <= 8 ? 1 : 4));
    const QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported (" +
                              BmpVariant(header) + ")");
    }
    const TPlacement placed =
        ResolvePlacement(placement ? *placement : TPlacement{}, image.width(), image.height());
    TBitmap out = PlaceImage(image, placed);
    if (size) *size = {image.width(), image.height()};
    if (placement) *placement = placed;
    return out;
}
