// The stored dumps of the placement scenarios hold the pixels they should:
// the grid compared with the sample pictures as QtGui decodes them, cropped
// or shrunk here, and the top-left placement asked again with the default.
#include "golden.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// The grid of a stored dump; the dump named must have stored its picture.
QImage StoredGrid(const std::string& scenario, const std::string& dump) {
    bool ok = false;
    const std::string ppm = golden::ReadMaybeGz(
        golden::ExpectedDir + "/" + scenario + "/" + dump + "/image1.ppm.gz", ok);
    EXPECT_TRUE(ok) << scenario << "/" << dump;
    return QImage::fromData(QByteArray::fromStdString(ppm), "PPM")
        .convertToFormat(QImage::Format_RGB32);
}

QImage Sample(const char* name) {
    const QImage whole(QString::fromStdString(golden::SourceDir + "/samples/" + name));
    EXPECT_FALSE(whole.isNull()) << name;
    return whole.convertToFormat(QImage::Format_RGB32);
}

// The rounded mean of the k x k block at (x, y) of `picture`.
QRgb BlockMean(const QImage& picture, int x, int y, int k) {
    int r = 0, g = 0, b = 0;
    for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i) {
            const QRgb c = picture.pixel(k * x + i, k * y + j);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    const int n = k * k;
    return qRgb((r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n);
}

TEST(PlacedPictures, APartHoldsThePixelsAtItsClampedCorner) {
    // part 500,300 asked: strokes.jpg (640 x 480) clamps it to 384,224,
    // astronaut.bmp (320 x 320) to 64,64.
    EXPECT_EQ(StoredGrid("place_part", "d1"), Sample("strokes.jpg").copy(384, 224, 256, 256));
    EXPECT_EQ(StoredGrid("place_part", "d2"), Sample("astronaut.bmp").copy(64, 64, 256, 256));
}

TEST(PlacedPictures, AShrinkHoldsTheRoundedBlockMeansAndLeavesTheRestOfTheGrid) {
    const QImage strokes = Sample("strokes.jpg"), astronaut = Sample("astronaut.bmp");
    const QImage first = StoredGrid("place_fit", "d1"), second = StoredGrid("place_fit", "d3");
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            // 640 / 3 = 213 columns and 480 / 3 = 160 rows; white beyond.
            const QRgb shrunk =
                x < 213 && y < 160 ? BlockMean(strokes, x, y, 3) : qRgb(255, 255, 255);
            ASSERT_EQ(first.pixel(x, y), shrunk) << x << "," << y;
            // Astronaut by 2 to 160 x 160 over the shrunk strokes.
            ASSERT_EQ(second.pixel(x, y),
                      x < 160 && y < 160 ? BlockMean(astronaut, x, y, 2) : shrunk)
                << x << "," << y;
        }
}

TEST(PlacedPictures, TopLeftAskedAgainGivesTheDefaultsDump) {
    for (const std::string file : golden::DumpFiles)
        for (const std::string& part : golden::StoredParts(file)) {
            bool asked = false, plain = false;
            EXPECT_EQ(
                golden::ReadMaybeGz(golden::ExpectedDir + "/place_topleft/d1/" + part + ".gz",
                                    asked),
                golden::ReadMaybeGz(golden::ExpectedDir + "/photo_load/d1/" + part + ".gz", plain))
                << part;
            EXPECT_TRUE(asked && plain) << part;
        }
}

} // namespace
