// The event flow of the window, driven with Qt Test events on the real
// controls: which handler runs what, in which order, and what the views
// show afterwards. Passes are counted as the window runs them.
#include "session/palette.h"
#include "window_under_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct EventFlow : TWindowUnderTest {
    int Errors() const {
        int n = 0;
        for (const TRecordedBox& b : boxes) n += b.icon == QMessageBox::Critical;
        return n;
    }
    void ClickItem(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    void Check(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }
    // A striped picture: areas for the pass to find.
    void Stripes(const char* name, int w, int h) {
        WriteBmp24(PathIn(samples, name), w, h, [](int x, int y) -> TRGB {
            const bool dark = (x / 24 + y / 24) % 2 == 0;
            return dark ? TRGB{20, 30, 40} : TRGB{220, 200, 90};
        });
    }
    bool ShowsAreaMap() {
        for (int y = 0; y < 256; y += 17)
            for (int x = 0; x < 256; x += 13)
                if (GetPixel(PaintBox1Bitmap(), x, y) != Palette[Plane(aArH)[y][x]]) return false;
        return true;
    }
    bool ShowsGreyPlane(int p) {
        const int offset = ctl.ScrollBar1->value();
        for (int y = 0; y < 256; y += 17)
            for (int x = 0; x < 256; x += 13) {
                const int g = std::min(255, Plane(p)[y][x] + offset);
                if (GetPixel(PaintBox1Bitmap(), x, y) != TRGB{uint8_t(g), uint8_t(g), uint8_t(g)})
                    return false;
            }
        return true;
    }
};

TEST_F(EventFlow, ChoosingAPictureRunsOnePassOrWithScanCheckedTheScan) {
    Stripes("a.bmp", 256, 256);
    Stripes("b.bmp", 200, 200);
    Open();
    LevelScores[50] = 1; // cleared by every load
    ClickItem(ctl.FileListBox1, 0);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(LevelScores[50], 0.0);
    EXPECT_TRUE(ShowsGreyPlane(3) || ShowsAreaMap()) << "the selected plane, entry 3";
    EXPECT_TRUE(ShowsAreaMap());

    Check(ctl.cbScan);
    ASSERT_TRUE(ctl.cbScan->isChecked());
    passes = 0;
    ClickItem(ctl.FileListBox1, 1);
    EXPECT_GE(passes, 31 + 9);
    EXPECT_LE(passes, 31 + 17 + 1);
    EXPECT_EQ(Errors(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone";
}

TEST_F(EventFlow, ByPriznakMakesAListClickAnalyseTheChosenPlaneAndShowTheAreaMap) {
    Stripes("a.bmp", 256, 256);
    Open();
    ClickItem(ctl.FileListBox1, 0);
    passes = 0;
    ClickItem(ctl.ListBox1, 12); // without ByPriznak: just the plane
    EXPECT_EQ(passes, 0);
    EXPECT_TRUE(ShowsGreyPlane(12));

    Check(ctl.cbByPriznak);
    ClickItem(ctl.ListBox1, 10);
    EXPECT_EQ(passes, 1);
    EXPECT_TRUE(ShowsAreaMap());
    // The pass worked on plane 10: plane 13 holds its working plane.
    EXPECT_EQ(std::memcmp(Plane(aGr), Plane(aH), sizeof(TPlane)), 0);

    // ScrollBar1 still shows the selected plane, not the area map.
    ctl.ScrollBar1->setFocus();
    QTest::keyClick(ctl.ScrollBar1, Qt::Key_Right);
    EXPECT_EQ(ctl.ScrollBar1->value(), 101);
    EXPECT_TRUE(ShowsGreyPlane(10));
    EXPECT_EQ(passes, 1);

    Check(ctl.cbScan);
    passes = 0;
    ClickItem(ctl.ListBox1, 12);
    EXPECT_GE(passes, 31 + 9) << "with Scan checked the click runs the scan";
    EXPECT_TRUE(ShowsAreaMap());
}

TEST_F(EventFlow, AClickInTheCounterListRedrawsThePlaneSelectedInThePlaneList) {
    Stripes("a.bmp", 256, 256);
    Open();
    ClickItem(ctl.FileListBox1, 0);
    ClickItem(ctl.ListBox1, 15);
    std::memset(Plane(15), 77, sizeof(TPlane)); // shows only when drawn again
    ClickItem(ctl.ListBox2, 6);
    EXPECT_TRUE(ShowsGreyPlane(15));
    EXPECT_EQ(ctl.ListBox1->currentRow(), 15);
}

TEST_F(EventFlow, MovingScrollBar2RunsThePassAtItsPositionAndShowsTheAreaMap) {
    Stripes("a.bmp", 256, 256);
    Open();
    ClickItem(ctl.FileListBox1, 0);
    ClickItem(ctl.ListBox1, 12);
    passes = 0;
    const int before = ctl.ScrollBar2->value();
    ctl.ScrollBar2->setFocus();
    QTest::keyClick(ctl.ScrollBar2, Qt::Key_Right);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(ctl.ScrollBar2->value(), std::min(255, before + 1))
        << "the pass keeps the user's threshold";
    EXPECT_TRUE(ShowsAreaMap());
    EXPECT_EQ(LevelScores[ctl.ScrollBar2->value()], S.Areas.SizeSum - S.Areas.SizeMax);
}

TEST_F(EventFlow, ASmallerPictureLeavesTheRestOfTheEarlierOneInThePlanes) {
    WriteUniformBmp(PathIn(samples, "a.bmp"), 512, 512, {200, 100, 50});
    WriteUniformBmp(PathIn(samples, "b.bmp"), 100, 100, {10, 20, 30});
    Open();
    ClickItem(ctl.FileListBox1, 0);
    ClickItem(ctl.FileListBox1, 1);
    EXPECT_EQ(GetPixel(Image1Picture, 99, 99), (TRGB{10, 20, 30}));
    EXPECT_EQ(GetPixel(Image1Picture, 100, 5), (TRGB{200, 100, 50}));
    EXPECT_EQ(GetPixel(Image1Picture, 255, 255), (TRGB{200, 100, 50}));
    EXPECT_EQ(S.Planes.Levels[0].Pixels == Image1Picture.Pixels, true)
        << "the planes see the mixed grid";
    // Brightness of both parts (20 and 108), stretched: the dark part 0, the
    // bright one 249, as the 32-bit factor 250 / 88 rounds down.
    EXPECT_EQ(Plane(aV)[50][50], 0);
    EXPECT_EQ(Plane(aV)[200][200], 249);
}

TEST_F(EventFlow, MouseOverTheAreaViewProbesAndAPressOnThePictureGrowsLabels) {
    Stripes("a.bmp", 256, 256);
    Open();
    ClickItem(ctl.FileListBox1, 0);
    ctl.ScrollBar2->setValue(200);
    ASSERT_GE(AreaCount, 2);
    const std::vector<uint8_t> before = PaintBox2Bitmap().Pixels;
    QTest::mouseMove(ctl.PaintBox2, QPoint(40, 40));
    EXPECT_NE(PaintBox2Bitmap().Pixels, before);
    EXPECT_EQ(GetPixel(PaintBox2Bitmap(), 0, 0), (TRGB{0, 0, 0})) << "the probe draws on black";

    QTest::mouseClick(ctl.Image1, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(ctl.ListBox1->currentRow(), 13);
    EXPECT_TRUE(ShowsGreyPlane(13));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
