// A picture of the whole window after loading a sample photo, checked for the
// facts a broken layout would lose: the photo where the picture belongs, the
// area view drawn, the plane view showing the area map (white ground, olive
// green areas).
#include "image/plane_store.h"
#include "main/palette.h"
#include "main/uMain.h"

#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <gtest/gtest.h>

#include <set>

namespace {

TRGB At(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))};
}

TEST(WindowScreenshot, ShowsThePhotoTheAreasAndTheAreaMapInTheirPlaces) {
    TfrmMain form(QString(TESSA_SOURCE_DIR) + "/samples");
    form.show();
    const auto items = form.FileListBox1->findItems("coffee.jpg", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form.FileListBox1->setCurrentItem(items.first());
    form.FileListBox1FileName = std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg";
    ASSERT_TRUE(form.Guard([&] { form.FileListBox1Change(); }));
    const QImage shot = form.grab().toImage();
    ASSERT_GE(shot.width(), 705);
    ASSERT_GE(shot.height(), 544);

    // The photo, unscaled, where Image1 sits.
    for (int y = 0; y < 256; y += 5)
        for (int x = 0; x < 256; x += 5)
            ASSERT_EQ(At(shot, 188 + x, y), GetPixel(form.Image1Picture, x, y)) << x << "," << y;

    // The area view holds outlines and stars on the button face.
    std::set<uint32_t> colours;
    int ground = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB c = At(shot, 188 + x, 288 + y);
            colours.insert(uint32_t(c.r) << 16 | c.g << 8 | c.b);
            ground += c == form.ButtonFace();
        }
    EXPECT_GT(colours.size(), 20u);
    EXPECT_GT(ground, 256 * 256 / 2);
    EXPECT_LT(ground, 256 * 256 - 500);

    // The plane view shows the area map: white where no area lies, olive
    // greens inside areas, and nothing else.
    std::set<uint32_t> greens; // the olive ramp, entries 1 to 126
    for (int v = 1; v <= 126; ++v)
        greens.insert(uint32_t(Palette[v].r) << 16 | Palette[v].g << 8 | Palette[v].b);
    int white = 0, olive = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB c = At(shot, 448 + x, y);
            ASSERT_EQ(c, Palette[Plane(aArH)[y][x]]) << x << "," << y;
            if (c == TRGB{255, 255, 255})
                ++white;
            else if (greens.count(uint32_t(c.r) << 16 | c.g << 8 | c.b))
                ++olive;
        }
    EXPECT_GT(white, 1000);
    EXPECT_GT(olive, 1000);
    EXPECT_EQ(white + olive, 256 * 256);
}

} // namespace
