// The magnifier: toggled with Ctrl+M, it follows the pointer over each view
// and shows the 15 x 15 pixels around it at 16x with a faint grid, the
// centre outlined and each pixel's number printed when it fits. It never
// changes what it looks at.
#include "look_under_test.h"

#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using MagnifierWindow = TLookUnderTest;
constexpr int S16 = TMagnifierPainter::Scale;

TRGB FramePixel(const QImage& frame, int x, int y) {
    const QRgb c = frame.pixel(x, y);
    return {uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))};
}

// Whether a pixel's 16 x 16 block shows more than its colour and grid: the
// number printed in it.
bool BlockHasText(const QImage& frame, int i, int j) {
    const QRgb base = frame.pixel(i * S16 + 8, j * S16 + 14);
    for (int y = 1; y < S16 - 1; ++y)
        for (int x = 1; x < S16 - 1; ++x)
            if (frame.pixel(i * S16 + x, j * S16 + y) != base) return true;
    return false;
}

TEST_F(MagnifierWindow, OpensAndClosesWithCtrlMAndTheContextMenuItem) {
    OpenWithShapes();
    EXPECT_FALSE(Magnifier()->isVisible());
    CtrlKey(Qt::Key_M);
    EXPECT_TRUE(Magnifier()->isVisible());
    EXPECT_TRUE(Action("MagnifierAction")->isChecked());
    CtrlKey(Qt::Key_M);
    EXPECT_FALSE(Magnifier()->isVisible());
    Action("MagnifierAction")->trigger();
    EXPECT_TRUE(Magnifier()->isVisible());
    Magnifier()->close(); // its own title bar
    EXPECT_FALSE(Action("MagnifierAction")->isChecked());
}

TEST_F(MagnifierWindow, ShowsThePlaneViewsPixelsAroundThePointerWithTheirValues) {
    OpenWithShapes();
    LoadShapes();
    SelectPlane(12);
    CtrlKey(Qt::Key_M);
    const int cx = 118, cy = 60; // the corner of the bar and the small square
    Hover(ctl.PaintBox1, cx, cy);
    const QImage& frame = Magnifier()->Frame();
    ASSERT_EQ(frame.size(), QSize(240, 240));
    const TMagnifierPainter& painter = Magnifier()->Painter();
    for (int j = 0; j < 15; ++j)
        for (int i = 0; i < 15; ++i) {
            const int x = cx - 7 + i, y = cy - 7 + j;
            const TRGB shown = GetPixel(PaintBox1Bitmap(), x, y);
            // Nearest-neighbour: the block is the view's pixel, its bottom row
            // free of the number; the grid along its top and left a faint
            // shade of it.
            ASSERT_EQ(FramePixel(frame, i * S16 + 8, j * S16 + 14), shown) << i << "," << j;
            const TRGB grid = FramePixel(frame, i * S16, j * S16 + 8);
            if (j != 7 || (i != 7 && i != 8)) { // the centre's frame lies there
                EXPECT_NE(grid, shown) << i << "," << j;
                EXPECT_LE(std::abs(grid.r - shown.r), 64) << i << "," << j;
            }
            ASSERT_EQ(painter.Printed(i, j), std::optional<int32_t>(Plane(aV)[y][x]));
            EXPECT_TRUE(BlockHasText(frame, i, j)) << i << "," << j;
        }
    // The centre pixel framed white inside black.
    EXPECT_EQ(FramePixel(frame, 7 * S16, 7 * S16 + 8), (TRGB{255, 255, 255}));
    EXPECT_EQ(FramePixel(frame, 7 * S16 - 1, 7 * S16 + 8), (TRGB{0, 0, 0}));
    EXPECT_EQ(Magnifier()->Caption(), ReadoutLines().mid(0, 2).join('\n'));
}

TEST_F(MagnifierWindow, PrintsAreaLabelsOnTheAreaViewAndNothingOnThePicture) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_M);
    const TMagnifierPainter& painter = Magnifier()->Painter();
    // The area view's corner: pixels off the view are dark and unnumbered,
    // the frame (label 0) unnumbered, areas numbered with their labels.
    Hover(ctl.PaintBox2, 3, 250);
    const QImage& frame = Magnifier()->Frame();
    EXPECT_EQ(FramePixel(frame, 8, 8), (TRGB{64, 64, 64}));
    EXPECT_EQ(painter.Printed(0, 0), std::nullopt);
    int labelled = 0;
    for (int j = 0; j < 15; ++j)
        for (int i = 0; i < 15; ++i) {
            const int x = 3 - 7 + i, y = 250 - 7 + j;
            if (x < 0 || y < 0 || x > 255 || y > 255) {
                EXPECT_EQ(painter.Printed(i, j), std::nullopt);
                continue;
            }
            const int32_t label = S.Areas.LabelMap[y][x];
            EXPECT_EQ(painter.Printed(i, j), label ? std::optional<int32_t>(label) : std::nullopt)
                << i << "," << j;
            labelled += label != 0;
        }
    EXPECT_GT(labelled, 0);

    Hover(ctl.Image1, 100, 100);
    for (int j = 0; j < 15; ++j)
        for (int i = 0; i < 15; ++i) {
            EXPECT_EQ(painter.Printed(i, j), std::nullopt);
            EXPECT_FALSE(BlockHasText(frame, i, j));
        }
    EXPECT_EQ(FramePixel(frame, 7 * S16 + 8, 7 * S16 + 8), GetPixel(S.Grid, 100, 100));
}

TEST_F(MagnifierWindow, FollowsTheViewsAsTheyChangeAndChangesNothing) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_M);
    // The same moves and redraws with the magnifier shut and open leave the
    // same planes, views and counters.
    const auto moves = [&] {
        for (int k = 0; k < 30; ++k)
            Hover(k % 3 == 0   ? ctl.Image1
                  : k % 3 == 1 ? ctl.PaintBox1
                               : ctl.PaintBox2,
                  30 + k, 40 + k);
        form->ListBox1Click();
    };
    const auto state = [&] {
        std::vector<uint8_t> s = Snapshot();
        for (int64_t c : OpCounters) s.push_back(uint8_t(c));
        return s;
    };
    CtrlKey(Qt::Key_M);
    ASSERT_FALSE(Magnifier()->isVisible());
    moves();
    const std::vector<uint8_t> shut = state();
    CtrlKey(Qt::Key_M);
    ASSERT_TRUE(Magnifier()->isVisible());
    moves();
    EXPECT_EQ(state(), shut);

    Hover(ctl.PaintBox1, 41, 55);
    // A new plane shown under a still pointer: the magnifier shows it.
    SelectPlane(15);
    EXPECT_EQ(Magnifier()->Painter().Printed(7, 7), std::optional<int32_t>(Plane(aGV)[55][41]));
    EXPECT_EQ(FramePixel(Magnifier()->Frame(), 7 * S16 + 8, 7 * S16 + 14),
              GetPixel(PaintBox1Bitmap(), 41, 55));
}

TEST(MagnifierPainter, PrintsNumbersOfUpToFourDigitsAndLeavesLongerOnesOut) {
    TBitmap bitmap;
    CreateBitmap(bitmap, 20, 20, {200, 200, 200});
    TMagnifierPainter painter;
    QImage frame;
    painter.Draw(frame, bitmap, 10, 10, [](int x, int) -> std::optional<int32_t> {
        return x < 8 ? 9999 : x < 12 ? 123456 : 7;
    });
    EXPECT_EQ(painter.Printed(0, 0), std::optional<int32_t>(9999));
    EXPECT_EQ(painter.Printed(7, 0), std::nullopt) << "too long for a pixel";
    EXPECT_EQ(painter.Printed(14, 14), std::optional<int32_t>(7));
    EXPECT_TRUE(BlockHasText(frame, 0, 0));
    EXPECT_FALSE(BlockHasText(frame, 7, 0));
    // Dark text on a light pixel.
    bool dark = false;
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) dark = dark || qGray(frame.pixel(x, y)) < 100;
    EXPECT_TRUE(dark);
}

} // namespace
