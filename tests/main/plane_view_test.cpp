// The plane view: grey planes through the tone table, the area map through
// the Palette, the composite, and the counter list.
#include "image/plane_store.h"
#include "main/palette.h"
#include "main/uMain.h"

#include <QListWidget>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cstring>

namespace {

struct PlaneView : ::testing::Test {
    TfrmMain form{"/nonexistent"};
    TRGB At(int x, int y) const { return GetPixel(form.PaintBox1Bitmap, x, y); }
    static TRGB Grey(int v) { return {uint8_t(v), uint8_t(v), uint8_t(v)}; }
    void SetUp() override {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                Plane(aV)[y][x] = uint8_t(x);
                Plane(aArH)[y][x] = uint8_t(y);
            }
    }
};

TEST_F(PlaneView, GreyPlanesAddTheOffsetAndSaturateAtWhite) {
    form.ScrollBar1->setValue(0);
    form.ShowPlane(aV);
    for (int x : {0, 1, 154, 155, 255}) EXPECT_EQ(At(x, 7), Grey(x));
    form.ScrollBar1->setValue(100);
    form.ShowPlane(aV);
    EXPECT_EQ(At(0, 7), Grey(100));
    EXPECT_EQ(At(154, 7), Grey(254));
    EXPECT_EQ(At(155, 7), Grey(255));
    EXPECT_EQ(At(255, 7), Grey(255));
    form.ScrollBar1->setValue(255);
    form.ShowPlane(aV);
    EXPECT_EQ(At(0, 7), Grey(255));
    EXPECT_EQ(At(256, 7), form.ButtonFace()) << "the last column is never drawn";
}

TEST_F(PlaneView, TheAreaMapShowsThePaletteWhateverTheOffset) {
    for (int offset : {0, 100, 255}) {
        form.ScrollBar1->setValue(offset);
        form.ShowPlane(aArH);
        for (int v : {0, 1, 20, 119, 127, 128, 200, 255}) EXPECT_EQ(At(3, v), Palette[v]) << v;
    }
}

TEST(PaletteTable, HasTheRampsAndSweepOfTheAreaColours) {
    EXPECT_EQ(Palette[0], (TRGB{255, 255, 255}));
    EXPECT_EQ(Palette[255], (TRGB{255, 255, 255}));
    EXPECT_EQ(Palette[1], (TRGB{0x9F, 0xD2, 0x7F}));
    EXPECT_EQ(Palette[126], (TRGB{0x89, 0x75, 0x15}));
    EXPECT_EQ(Palette[128], (TRGB{128, 128, 128}));
    for (int i : {127, 129, 133, 137}) EXPECT_EQ(Palette[i], (TRGB{0xFF, 0x2A, 0x7F})) << i;
    EXPECT_EQ(Palette[138], (TRGB{0xFF, 0x39, 0x87}));
    EXPECT_EQ(Palette[180], (TRGB{0x0E, 0x6F, 0xFF}));
    EXPECT_EQ(Palette[254], (TRGB{0xFF, 0x13, 0x0A}));
    for (int i = 2; i <= 126; ++i)
        EXPECT_LE(Palette[i].g, Palette[i - 1].g) << "olive ramp darkens";
}

TEST_F(PlaneView, TheCompositeMixesHueAndBothNoisePlanes) {
    std::memset(Plane(aNo1), 100, sizeof(TPlane));
    std::memset(Plane(aNo2), 20, sizeof(TPlane));
    std::memset(Plane(aH), 30, sizeof(TPlane));
    form.ScrollBar1->setValue(100);
    form.ShowPlane(aZ);
    EXPECT_EQ(At(9, 9), (TRGB{230, 255, 220})); // red P10+P0, green 2 P0, blue P1+P0, plus 100
    form.ScrollBar1->setValue(0);
    form.ShowPlane(aZ);
    EXPECT_EQ(At(9, 9), (TRGB{130, 200, 120}));
}

TEST_F(PlaneView, ListsAndResetsTheCounters) {
    OpCounters[1] = 57;
    OpCounters[8] = -3;
    form.ShowPlane(aV);
    EXPECT_EQ(form.ListBox2->item(1)->text(), "1 : 57");
    EXPECT_EQ(form.ListBox2->item(8)->text(), "8 : -3");
    form.ShowPlane(aV);
    ASSERT_EQ(form.ListBox2->count(), 9);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(form.ListBox2->item(k)->text(), QString("%1 : 0").arg(k));
}

TEST_F(PlaneView, AnIndexWithoutAPlaneDrawsNothingButStillListsTheCounters) {
    form.ShowPlane(aV);
    const std::vector<uint8_t> before = form.PaintBox1Bitmap.Pixels;
    OpCounters[0] = 4;
    form.ShowPlane(20);
    form.ShowPlane(255);
    EXPECT_EQ(form.PaintBox1Bitmap.Pixels, before);
    EXPECT_EQ(OpCounters[0], 0);
}

} // namespace
