// The plane view's drawing: grey planes through the tone table, the area map
// through the Palette, the composite.
#include "session/palette.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct PlaneView : ::testing::Test {
    std::unique_ptr<TSession> session = NewSession();
    TSession& S = *session;
    TPlane& Plane(int p) { return S.Planes[p]; }
    TRGB At(int x, int y) const { return GetPixel(S.View, x, y); }
    static TRGB Grey(int v) { return {uint8_t(v), uint8_t(v), uint8_t(v)}; }
    void Draw(int offset, uint8_t plane) {
        SetToneOffset(S.ToneTab, offset);
        DrawPlane(S, plane);
    }
    void SetUp() override {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                Plane(aV)[y][x] = uint8_t(x);
                Plane(aArH)[y][x] = uint8_t(y);
            }
    }
};

TEST_F(PlaneView, GreyPlanesAddTheOffsetAndSaturateAtWhite) {
    Draw(0, aV);
    for (int x : {0, 1, 154, 155, 255}) EXPECT_EQ(At(x, 7), Grey(x));
    Draw(100, aV);
    EXPECT_EQ(At(0, 7), Grey(100));
    EXPECT_EQ(At(154, 7), Grey(254));
    EXPECT_EQ(At(155, 7), Grey(255));
    EXPECT_EQ(At(255, 7), Grey(255));
    Draw(255, aV);
    EXPECT_EQ(At(0, 7), Grey(255));
}

TEST_F(PlaneView, TheAreaMapShowsThePaletteWhateverTheOffset) {
    for (int offset : {0, 100, 255}) {
        Draw(offset, aArH);
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
    Draw(100, aZ);
    EXPECT_EQ(At(9, 9), (TRGB{230, 255, 220})); // red P10+P0, green 2 P0, blue P1+P0, plus 100
    Draw(0, aZ);
    EXPECT_EQ(At(9, 9), (TRGB{130, 200, 120}));
}

TEST_F(PlaneView, AnIndexWithoutAPlaneDrawsNothing) {
    Draw(100, aV);
    const std::vector<uint8_t> before = S.View.Pixels;
    DrawPlane(S, 20);
    DrawPlane(S, 255);
    EXPECT_EQ(S.View.Pixels, before);
}

} // namespace
