// A picture of the whole window after loading a sample photo, checked for the
// facts a broken layout would lose: the photo where the picture belongs, the
// area view drawn, the plane view showing the area map (white ground, olive
// green areas).
#include "main/uMain.h"
#include "session/palette.h"
#include "session/session.h"
#include "support/window_controls.h"

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
    TfrmMain form(TestWindowOptions(QString(TESSA_SOURCE_DIR) + "/samples"));
    form.show();
    QListWidget* files = Controls(form).FileListBox1;
    const auto items = files->findItems("coffee.jpg", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    files->setCurrentItem(items.first());
    ASSERT_TRUE(form.ChooseFile(std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg"));
    const TSession& S = form.Session();
    const QImage shot = form.grab().toImage();
    ASSERT_GE(shot.width(), 705);
    ASSERT_GE(shot.height(), 544);

    // The photo, unscaled, where Image1 sits.
    for (int y = 0; y < 256; y += 5)
        for (int x = 0; x < 256; x += 5)
            ASSERT_EQ(At(shot, 188 + x, y), GetPixel(S.Grid, x, y)) << x << "," << y;

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
            ASSERT_EQ(c, Palette[S.Planes[aArH][y][x]]) << x << "," << y;
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
