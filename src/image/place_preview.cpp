#include "place_preview.h"

#include "intake.h"
#include "picture_messages.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

TPlacePreview ReadPlacePreview(const std::string& path, TPictureSize size, QSize bound) {
    CheckPictureFile(path); // gone, a folder or emptied since it was loaded
    const TPictureFormat format = PictureFormatOf(path);
    const bool jpeg = format == TPictureFormat::Jpeg;
    // A BMP or PNG is decoded whole at four bytes a pixel before it is
    // scaled; a JPEG is decoded at a fraction of its size already.
    if (!jpeg && (long long)size.Width * size.Height > MaxDecodeBytes / 4)
        FailPicture(path, TooLargeCause(size.Width, size.Height));
    TPlacePreview preview;
    preview.Scale = std::min({1.0, double(bound.width()) / std::max(size.Width, 256),
                              double(bound.height()) / std::max(size.Height, 256)});
    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)),
                        jpeg                            ? "jpeg"
                        : format == TPictureFormat::Bmp ? "bmp"
                                                        : "png");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false); // the grid takes the pixels as stored
    reader.setScaledSize(QSize(std::max(1, int(std::lround(size.Width * preview.Scale))),
                               std::max(1, int(std::lround(size.Height * preview.Scale)))));
    preview.Image = reader.read();
    if (preview.Image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported (" +
                              reader.errorString().toStdString() + ")");
    }
    return preview;
}
