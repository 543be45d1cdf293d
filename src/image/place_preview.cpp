#include "place_preview.h"

#include "intake.h"
#include "picture_format.h"
#include "picture_messages.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

TPlacePreview ReadPlacePreview(const std::string& path, TPictureSize size, QSize bound) {
    CheckPictureFile(path); // gone, a folder or emptied since it was loaded
    // The content decides the reader, as for the intake.
    const TPictureFormat format = PictureFormatOf(path);
    // A BMP, PNG or TIFF is decoded whole at up to eight bytes a pixel before
    // it is scaled; a JPEG is decoded at a fraction of its size already.
    if (format != TPictureFormat::Jpeg && (long long)size.Width * size.Height > MaxDecodeBytes / 8)
        FailPicture(path, TooLargeCause(size.Width, size.Height));
    TPlacePreview preview;
    preview.Scale = std::min({1.0, double(bound.width()) / std::max(size.Width, 256),
                              double(bound.height()) / std::max(size.Height, 256)});
    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), QtFormatName(format));
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
