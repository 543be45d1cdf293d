// The region fill on small working planes: run order, measurements, the size
// classes, the single-pixel rule and the segment-list overflow.
#include "support/area_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace area_test;

namespace {

struct Fill : TAreaFixture {
    void SetUp() override { PrepareFill(); }
    TArea& Rec() { return *Areas[AreaCount]; }
    void ExpectEntry(int i, int x, int y, int len) {
        EXPECT_EQ(Lines.e[i].x, x) << "entry " << i;
        EXPECT_EQ(Lines.e[i].y, y) << "entry " << i;
        EXPECT_EQ(Lines.e[i].len, len) << "entry " << i;
    }
};

TEST_F(Fill, SquareOfNineIsEnteredByRunsFirstInFirstOut) {
    const int cx = 40, cy = 30;
    FillRect(cx - 1, cy - 1, cx + 1, cy + 1, 50);
    EXPECT_TRUE(FillArea(cx, cy, 0));
    EXPECT_EQ(Lines.s, 2);
    ExpectEntry(0, cx - 1, cy, 3);
    ExpectEntry(1, cx - 1, cy - 1, 3);
    ExpectEntry(2, cx - 1, cy + 1, 3);
    EXPECT_EQ(Rec().meanX, cx);
    EXPECT_EQ(Rec().meanY, cy);
    EXPECT_EQ(Rec().minX, cx - 1);
    EXPECT_EQ(Rec().minXRow, cy);
    EXPECT_EQ(Rec().label, 20);
    EXPECT_EQ(AreaPixels, 1) << "9 pixels: root 3, halved";
    EXPECT_EQ(CountLabel(20), 9);
    EXPECT_EQ(WorkPlane[cy][cx], Level) << "taken pixels are raised to Level";
    EXPECT_EQ(RejectedLast, -1);
}

TEST_F(Fill, LineOfTenIsOneRunFromItsFirstColumn) {
    FillRect(20, 7, 29, 7, 3);
    EXPECT_TRUE(FillArea(25, 7, 0));
    EXPECT_EQ(Lines.s, 0);
    ExpectEntry(0, 20, 7, 10);
    EXPECT_EQ(Rec().meanX, 24) << "mean 24.5 truncated";
}

TEST_F(Fill, PixelsTouchingOnlyAtACornerDoNotJoin) {
    FillRect(10, 10, 12, 10, 5);
    FillRect(13, 11, 15, 11, 5);
    EXPECT_TRUE(FillArea(10, 10, 0));
    EXPECT_EQ(CountLabel(20), 3);
    EXPECT_EQ(LabelMap[11][13], 0);
}

TEST_F(Fill, SizeClassesDecideTheResultAndTheRejectedList) {
    FillRect(10, 10, 11, 10, 5); // 2 pixels
    EXPECT_FALSE(FillArea(11, 10, 0));
    ASSERT_EQ(RejectedLast, 0);
    EXPECT_EQ(RejectedAreas[0].x, 11);
    EXPECT_EQ(RejectedAreas[0].y, 10);
    EXPECT_EQ(RejectedAreas[0].label, 20);
    EXPECT_EQ(RejectedAreas[0].neighbour, 0);
    EXPECT_EQ(CountLabel(20), 2) << "a rejected fill keeps its pixels";

    CurLabel = 37;
    FillRect(10, 20, 12, 20, 5); // 3 pixels
    EXPECT_TRUE(FillArea(10, 20, 0));
    EXPECT_EQ(RejectedLast, 0);

    // 85 full rows of 254 and 85 pixels more: 21675, then one more pixel.
    for (int extra : {0, 1}) {
        PrepareFill();
        FillRect(1, 1, 254, 85, 5);
        FillRect(1, 86, 85 + extra, 86, 5);
        const bool result = FillArea(100, 40, 0);
        EXPECT_EQ(result, extra == 0) << 21675 + extra << " pixels";
        EXPECT_EQ(RejectedLast, extra == 0 ? -1 : 0);
        EXPECT_EQ(AreaPixels, 73) << "root 147, halved";
    }
}

TEST_F(Fill, FullRejectedListLetsSmallFillsThrough) {
    RejectedLast = 10000;
    FillRect(10, 10, 11, 10, 5);
    EXPECT_TRUE(FillArea(10, 10, 0));
    EXPECT_EQ(RejectedLast, 10000);
}

TEST_F(Fill, SinglePixelPassesToTheAreaAtItsLeftOrBackToNone) {
    LabelMap[10][9] = 37; // an earlier area; its WorkPlane 255 keeps it apart
    WorkPlane[10][10] = 5;
    EXPECT_FALSE(FillArea(10, 10, 0));
    EXPECT_EQ(LabelMap[10][10], 37);
    EXPECT_EQ(RejectedLast, -1);
    EXPECT_EQ(AreaPixels, 0);

    WorkPlane[20][10] = 5;
    CurLabel = 54;
    EXPECT_FALSE(FillArea(10, 20, 0));
    EXPECT_EQ(LabelMap[20][10], 0);
    EXPECT_EQ(WorkPlane[20][10], Level) << "its value stays raised";

    // Free again: a later fill with a higher Level takes it.
    Level = 200;
    CurLabel = 71;
    FillRect(11, 20, 12, 20, 150);
    EXPECT_TRUE(FillArea(11, 20, 0));
    EXPECT_EQ(LabelMap[20][10], 71);
}

TEST_F(Fill, NeighbourIsTheFirstLabelLeftOfARunInListOrder) {
    // Two pixels, the lower one with a labelled pixel at its left: the
    // neighbour is found on the second run and recorded with the rejection.
    WorkPlane[10][10] = WorkPlane[11][10] = 5;
    LabelMap[11][9] = 88;
    EXPECT_FALSE(FillArea(10, 10, 0));
    ASSERT_EQ(RejectedLast, 0);
    EXPECT_EQ(RejectedAreas[0].neighbour, 88);
}

TEST_F(Fill, StretchReachedTwiceGivesAnEntryOfLengthZero) {
    // A ring: top bar, two legs, bottom bar; seeded on the bottom bar, the
    // top bar is entered from both legs.
    FillRect(10, 10, 14, 10, 5);
    FillRect(10, 11, 10, 11, 5);
    FillRect(14, 11, 14, 11, 5);
    FillRect(10, 12, 14, 12, 5);
    EXPECT_TRUE(FillArea(12, 12, 0));
    ASSERT_EQ(Lines.s, 4);
    ExpectEntry(0, 10, 12, 5);
    ExpectEntry(1, 10, 11, 1);
    ExpectEntry(2, 14, 11, 1);
    ExpectEntry(3, 10, 10, 5);
    ExpectEntry(4, 14, 10, 0);
    EXPECT_EQ(CountLabel(20), 12);
}

TEST_F(Fill, SizeFiguresAddUpOverThePassAndKeepTheLargest) {
    FillRect(10, 10, 12, 12, 5); // 9 pixels
    FillRect(20, 10, 22, 10, 5); // 3 pixels
    FillRect(30, 10, 32, 12, 5); // 9 pixels
    FillArea(11, 11, 0);
    EXPECT_EQ(SizeMax, 9 / 10.0 * 9);
    CurLabel = 37;
    FillArea(20, 10, 0);
    EXPECT_EQ(SizeMax, 9 / 10.0 * 9);
    CurLabel = 54;
    FillArea(31, 11, 0);
    EXPECT_EQ(SizeSum, 9 / 10.0 * 9 + 3 / 10.0 * 3 + 9 / 10.0 * 9);
    EXPECT_EQ(SizeMax, 9 / 10.0 * 9);
}

TEST_F(Fill, PaintsEachPixelAsItIsTakenInTheLabelsColour) {
    CurLabel = 300;
    FillRect(10, 10, 11, 11, 5);
    FillArea(10, 10, 0);
    EXPECT_TRUE(seam.steps.empty()) << "nothing painted unless asked for";
    seam.paintSteps = true;
    PrepareFill(100, 300);
    FillRect(10, 10, 11, 11, 5);
    FillArea(10, 10, 0);
    ASSERT_EQ(seam.steps.size(), 4u);
    const int order[4][2] = {{10, 10}, {11, 10}, {10, 11}, {11, 11}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(seam.steps[i].x, order[i][0]);
        EXPECT_EQ(seam.steps[i].y, order[i][1]);
        // 300 x 65793 = 0x012D2D2C, red in the low byte.
        EXPECT_EQ(seam.steps[i].c, (TRGB{0x2C, 0x2D, 0x2D}));
    }
}

TEST_F(Fill, ListOverflowWarnsOnceAndLeavesTheRestFree) {
    // A comb: a free top row, free odd columns below it, and a free rung on
    // row 129. Every tooth pixel is its own run, so the list fills up just
    // while the rung is taken.
    FillRect(1, 1, 254, 1, 5);
    for (int x = 1; x <= 253; x += 2) FillRect(x, 2, x, 254, 5);
    FillRect(1, 129, 254, 129, 5);
    // Counts the pixels taken while the list is past the mark, and the warnings.
    struct TNearFull : TPassObserver {
        const TLines& lines;
        int taken = 0, warnings = 0;
        explicit TNearFull(const TLines& l) : lines(l) {}
        void FillStepTaken(int, int, TRGB) override { taken += lines.s > StackSize - 2; }
        void SegmentListNearlyFull() override { ++warnings; }
    } nearFull(Lines);

    EXPECT_TRUE(::FillArea(A, 1, 1, 0, nearFull, true));
    EXPECT_EQ(nearFull.warnings, 1);
    EXPECT_EQ(A.OverflowWarnings, 1);
    EXPECT_EQ(nearFull.taken, 9) << "pixels taken past the mark: one warning for all";
    EXPECT_EQ(Lines.s, StackSize);
    ExpectEntry(16130, 1, 129, 254);
    for (int i = 16131; i <= StackSize; ++i) ASSERT_EQ(Lines.e[i].len, 0) << "entry " << i;
    // The teeth below the rung were never reached.
    EXPECT_EQ(LabelMap[130][1], 0);
    EXPECT_EQ(LabelMap[254][253], 0);

    // Still measured: 254 + 127 x 127 + 254 pixels.
    const int n = CountLabel(20);
    EXPECT_EQ(n, 16637);
    EXPECT_EQ(AreaPixels, 64);
    long sx = 0, sy = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (LabelMap[y][x] == 20) {
                sx += x;
                sy += y;
            }
    EXPECT_EQ(Rec().meanX, sx / n);
    EXPECT_EQ(Rec().meanY, sy / n);
}

// Invariant: grown from every free pixel in turn, the runs of all fills and
// the pixels left free make up the interior, each pixel exactly once.
TEST_F(Fill, RunsOfAllFillsAndFreePixelsCoverTheInterior) {
    uint32_t s = 12345;
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 255; ++x) {
            s = s * 1664525u + 1013904223u;
            WorkPlane[y][x] = uint8_t(s >> 24);
        }
    Level = 120;
    static int32_t owner[256][256]; // label each run says its pixel has; 0 none
    std::memset(owner, 0, sizeof owner);
    int fills = 0, singles = 0;
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 255; ++x) {
            if (WorkPlane[y][x] >= Level || LabelMap[y][x] != 0) continue;
            CurLabel += 17;
            Rec().minX = 255;
            const int32_t left = LabelMap[y][x - 1];
            FillArea(x, y, 0);
            ++fills;
            int n = 0;
            for (int i = 0; i <= Lines.s; ++i) n += Lines.e[i].len;
            // A single pixel ends up with the label at its left, if any.
            const int32_t label = n == 1 ? (left > 0 ? left : 0) : CurLabel;
            singles += n == 1;
            for (int i = 0; i <= Lines.s; ++i) {
                const TLineSeg& r = Lines.e[i];
                for (int k = r.x; k < r.x + r.len; ++k) {
                    ASSERT_EQ(owner[r.y][k], 0) << "pixel in two runs: " << k << "," << int(r.y);
                    owner[r.y][k] = label == 0 ? -1 : label;
                }
            }
        }
    ASSERT_GT(fills, 1000);
    ASSERT_GT(singles, 100);
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 255; ++x) {
            if (owner[y][x] == 0) {
                // Never in a run: free, and not joinable at the final Level.
                EXPECT_EQ(LabelMap[y][x], 0);
                EXPECT_GE(WorkPlane[y][x], Level);
            } else {
                EXPECT_EQ(LabelMap[y][x], owner[y][x] < 0 ? 0 : owner[y][x]) << x << "," << y;
            }
        }
}

} // namespace
