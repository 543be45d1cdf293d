// The area pass on working planes made in the test: threshold choice and
// raises, keep rule, label view, scores, what the window is told, and that
// memory stays flat however many passes run.
#include "areas/area_pass.h"
#include "support/area_fixture.h"
#include "support/process_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace area_test;

namespace {

constexpr int Chosen = 7; // the plane the ByPriznak tests analyse

struct Pass : TAreaFixture {
    void SetUp() override {
        seam.byPlane = true;
        seam.selected = Chosen;
    }
    void Set(int x0, int y0, int x1, int y1, uint8_t v) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Plane(Chosen)[y][x] = v;
    }
    std::vector<int> BlueDots() const {
        std::vector<int> xs;
        for (const TDot& d : seam.dots)
            if (d.c == TRGB{0, 0, 255}) xs.push_back(d.x);
        return xs;
    }
    int Kept() {
        int n = 0;
        for (int i = 0; i <= AreaCount; ++i) n += Areas[i] != nullptr;
        return n;
    }
    // A busy picture in aV and aNo1 for the passes with ByPriznak off.
    void BusyPlanes(uint32_t seed);
};

void Pass::BusyPlanes(uint32_t seed) {
    uint32_t s = seed;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            s = s * 1664525u + 1013904223u;
            Plane(aV)[y][x] = uint8_t(((x / 9 + y / 7) % 5) * 40 + (s >> 28));
            Plane(aNo1)[y][x] = uint8_t(s >> 26);
        }
}

TEST_F(Pass, UniformPlaneIsOneRejectedFill) {
    Set(0, 0, 255, 255, 80);
    FindAreas(-1);
    EXPECT_EQ(seam.scrollBar2, 80) << "automatic threshold at the only value";
    EXPECT_EQ(Level, 167) << "raised once at the first position";
    EXPECT_EQ(RejectedLast, 0);
    EXPECT_EQ(RejectedAreas[0].x, 1);
    EXPECT_EQ(RejectedAreas[0].y, 1);
    EXPECT_EQ(AreaCount, -1);
    EXPECT_EQ(seam.label1, "0");
    EXPECT_EQ(SizeSum, 64516 / 10.0 * 64516);
    EXPECT_GE(OpCounters[1], 64516);
    EXPECT_EQ(BlueDots(), (std::vector<int>{80, 167}));
    EXPECT_EQ(seam.copies, 1);
    // The working plane before its frame, and the label view.
    EXPECT_EQ(Plane(aGr)[0][0], 80);
    EXPECT_EQ(Plane(aArH)[0][0], 0);
    EXPECT_EQ(Plane(aArH)[1][1], 20 % 100 + 20);
}

TEST_F(Pass, ZeroPlaneTakesNoSeed) {
    FindAreas(-1);
    EXPECT_EQ(Level, 0);
    EXPECT_EQ(AreaCount, -1);
    EXPECT_EQ(seam.label1, "-1");
    EXPECT_EQ(SizeSum, 0.0);
    EXPECT_EQ(CountLabel(0), 256 * 256);
}

TEST_F(Pass, LevelClimbsOncePerPositionTowards254) {
    // Isolated pixels, each just above the Level of its moment.
    Set(0, 0, 255, 255, 255);
    const uint8_t values[] = {99, 176, 215, 234, 244, 249, 251, 252, 253};
    for (int i = 0; i < 9; ++i) Set(10 + 2 * i, 10, 10 + 2 * i, 10, values[i]);
    FindAreas(100);
    EXPECT_EQ(BlueDots(), (std::vector<int>{100, 177, 216, 235, 245, 250, 252, 253, 254, 254}));
    EXPECT_EQ(Level, 254);
    EXPECT_EQ(AreaCount, -1) << "single pixels only";
}

TEST_F(Pass, PositionWellAboveLevelIsPassedOverAfterOneRaise) {
    Set(0, 0, 255, 255, 255);
    Set(10, 10, 13, 13, 200); // 16 pixels, value far above 100
    FindAreas(100);
    // The first position raises Level to 177 and is passed over; the second
    // raises it to 216 and seeds a fill that takes all 16.
    EXPECT_EQ(BlueDots(), (std::vector<int>{100, 177, 216}));
    ASSERT_EQ(AreaCount, 0);
    EXPECT_EQ(Areas[0]->runs[0].x, 10);
    EXPECT_EQ(CountLabel(Areas[0]->label), 16);
}

TEST_F(Pass, Level255SeedsEveryFreePixel) {
    Set(0, 0, 255, 255, 255);
    Set(10, 10, 13, 13, 254);
    FindAreas(255);
    EXPECT_EQ(BlueDots(), (std::vector<int>{255})) << "no raise changes 255";
    EXPECT_EQ(Level, 255);
    ASSERT_EQ(AreaCount, 0);
    EXPECT_EQ(CountLabel(Areas[0]->label), 16);
}

TEST_F(Pass, SixteenPixelsMakeARecordFifteenDoNot) {
    Set(0, 0, 255, 255, 255);
    Set(10, 10, 14, 12, 10); // 15
    Set(30, 10, 33, 13, 10); // 16
    FindAreas(100);
    ASSERT_EQ(AreaCount, 0);
    ASSERT_NE(Areas[0], nullptr);
    EXPECT_EQ(Areas[0]->minX, 30);
    EXPECT_EQ(Areas[0]->label, 37) << "the second seed";
    EXPECT_EQ(seam.label1, "-1") << "15 pixels are a candidate, just too small to keep";
}

TEST_F(Pass, Values255BoundAreasLikeTheFrame) {
    Set(0, 0, 255, 255, 255);
    Set(1, 1, 254, 50, 10);
    Set(128, 1, 128, 50, 255); // a wall
    FindAreas(100);
    ASSERT_EQ(Kept(), 2);
    EXPECT_NE(Areas[0]->label, Areas[1]->label);
    for (int y = 1; y <= 50; ++y) {
        EXPECT_EQ(LabelMap[y][128], 0);
        EXPECT_EQ(LabelMap[y][127], Areas[0]->label);
        EXPECT_EQ(LabelMap[y][129], Areas[1]->label);
    }
}

TEST_F(Pass, NoSelectedPlaneFallsBackToTheBrightnessNoiseMix) {
    BusyPlanes(5);
    seam.selected = -1;
    FindAreas(-1);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int v = (7 * Plane(aV)[y][x] - Plane(aNo1)[y][x]) / 8;
            ASSERT_EQ(Plane(aGr)[y][x], std::clamp(v, 0, 255));
        }
}

TEST_F(Pass, RunTwiceGivesTheSameResult) {
    seam.byPlane = false;
    BusyPlanes(9);
    FindAreas(120);
    ASSERT_GT(Kept(), 20);
    static int32_t labels[256][256];
    std::memcpy(labels, LabelMap, sizeof labels);
    std::vector<uint8_t> view(ViewBitmap.Pixels),
        arH(&Plane(aArH)[0][0], &Plane(aArH)[0][0] + 65536);
    std::vector<TArea> first;
    for (int i = 0; i <= AreaCount; ++i)
        if (Areas[i]) first.push_back(*Areas[i]);
    const int count = AreaCount;
    const double score = LevelScores[120];

    FindAreas(120);
    EXPECT_EQ(std::memcmp(labels, LabelMap, sizeof labels), 0);
    EXPECT_EQ(view, ViewBitmap.Pixels);
    EXPECT_TRUE(std::equal(arH.begin(), arH.end(), &Plane(aArH)[0][0]));
    EXPECT_EQ(AreaCount, count);
    EXPECT_EQ(LevelScores[120], score);
    size_t j = 0;
    for (int i = 0; i <= AreaCount; ++i) {
        if (!Areas[i]) continue;
        ASSERT_LT(j, first.size());
        const TArea& a = *Areas[i];
        const TArea& b = first[j++];
        EXPECT_EQ(a.label, b.label);
        EXPECT_EQ(a.radiusSum, b.radiusSum);
        EXPECT_TRUE(std::equal(a.shape, a.shape + 8, b.shape));
        EXPECT_EQ(a.runs.size(), b.runs.size());
        EXPECT_EQ(a.contourHigh, b.contourHigh);
    }
    EXPECT_EQ(j, first.size());
}

TEST_F(Pass, ScoreIsStoredOnlyForAGivenThreshold) {
    seam.byPlane = false;
    BusyPlanes(3);
    std::fill(std::begin(LevelScores), std::end(LevelScores), -7.0);
    FindAreas(-1);
    for (double v : LevelScores) ASSERT_EQ(v, -7.0);
    FindAreas(40);
    for (int t = 0; t < 256; ++t)
        if (t != 40) {
            ASSERT_EQ(LevelScores[t], -7.0);
        }
    EXPECT_EQ(LevelScores[40], SizeSum - SizeMax);
    EXPECT_GT(LevelScores[40], 0.0);
}

TEST_F(Pass, MostAreasAPictureCanHoldStayWellBelowTheCap) {
    // Areas are kept from 16 pixels on, so the 254 x 254 interior holds at
    // most 4032: the cap of 16000 cannot be reached by a pass. A checkerboard
    // of 4 x 4 blocks comes close: every full block is an area of its own.
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 255; ++x)
            Plane(Chosen)[y][x] = (((x - 1) / 4 + (y - 1) / 4) % 2) ? 200 : 10;
    FindAreas(100);
    EXPECT_EQ(AreaCount, 63 * 63 - 1);
    EXPECT_EQ(Kept(), 63 * 63);
    int listed = 0;
    for (const TPartNode* n : Tree.Nodes) listed += PartListLength(*n);
    EXPECT_GE(listed, 63 * 63) << "every kept area is in the tree";
}

TEST_F(Pass, ReportsRunningOnlyWhileItRuns) {
    // An observer that sees whether the pass runs, and can end it by throwing.
    struct TWatcher : TPassObserver {
        TAreaState& areas;
        bool seenRunning = false, fail = false;
        explicit TWatcher(TAreaState& a) : areas(a) {}
        void AreasDrawn(const TBitmap&) override {
            seenRunning = areas.PassRunning;
            if (fail) throw std::runtime_error("window gone");
        }
    } watcher(A);
    Set(0, 0, 255, 255, 255);
    Set(10, 10, 20, 20, 10);
    ::FindAreas(S, seam.Options(-1), watcher);
    EXPECT_TRUE(watcher.seenRunning);
    EXPECT_FALSE(PassRunning);

    watcher.fail = true;
    EXPECT_THROW(::FindAreas(S, seam.Options(-1), watcher), std::runtime_error);
    EXPECT_FALSE(PassRunning) << "cleared when the pass is left by an exception";
    watcher.fail = false;
    ::FindAreas(S, seam.Options(-1), watcher);
    EXPECT_EQ(AreaCount, 0) << "the next pass runs as usual";
}

TEST_F(Pass, MemoryStaysFlatOverAThousandPasses) {
    LoadPlanes("two/d1"); // a busy photo
    TPassObserver quiet;  // the recorder's own lists would grow
    const auto pass = [&](int i) { ::FindAreas(S, seam.Options(i % 2 ? 68 : -1), quiet); };
    // Alternate an automatic and a fixed threshold from the start.
    for (int i = 0; i < 10; ++i) pass(i);
    ASSERT_GT(Kept(), 50);
    const size_t heap = HeapInUse(), rss = ResidentBytes();
    for (int i = 10; i < 1000; ++i) pass(i);
    const size_t heapAfter = HeapInUse(), rssAfter = ResidentBytes();
    constexpr size_t MiB = 1 << 20;
    EXPECT_LE(heapAfter, heap + MiB)
        << "heap in use after 10 passes " << heap << ", after 1000 " << heapAfter;
    if (!UnderAsan) { // its quarantine holds freed memory resident
        EXPECT_LE(rssAfter, rss + MiB)
            << "resident after 10 passes " << rss << ", after 1000 " << rssAfter;
    }
}

} // namespace
