// The one memory budget of large decodes: a second decode waits while the
// first holds what would take it past the budget, goes on once that is let
// go, small decodes never wait, and one larger than the whole budget is
// refused with a plain reason.
#include "image/decode_budget.h"
#include "image/decoders.h"
#include "image/picture_error.h"
#include "support/picture_writers.h"
#include "support/tiff_files.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace {

constexpr long long MiB = 1 << 20;

struct OneBudget : ::testing::Test {
    void SetUp() override { SetDecodeBudget(100 * MiB); }
    void TearDown() override { SetDecodeBudget(0); }
};

TEST_F(OneBudget, ASecondLargeDecodeWaitsUntilTheFirstLetsGo) {
    std::optional<TDecodeReservation> first;
    first.emplace("a.png", 60 * MiB);
    std::atomic<bool> secondHolds{false};
    std::thread second([&] {
        const TDecodeReservation r("b.png", 60 * MiB);
        secondHolds = true;
    });
    {
        const TDecodeReservation small("c.png", 30 * MiB); // below the free size: no wait
        const TDecodeReservation fits("d.png", 40 * MiB);  // 60 + 40 is the budget
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(secondHolds) << "60 + 60 MiB is past the budget";
    first.reset();
    second.join();
    EXPECT_TRUE(secondHolds);
}

TEST_F(OneBudget, ADecodeLargerThanTheWholeBudgetIsRefused) {
    try {
        const TDecodeReservation r("big.png", 101 * MiB);
        ADD_FAILURE() << "taken";
    } catch (const TPictureError& e) {
        EXPECT_NE(std::string(e.what()).find("\"big.png\": decoding it would need 101 MiB of "
                                             "memory, more than the memory limit of 100 MiB"),
                  std::string::npos)
            << e.what();
    }
    SetDecodeBudget(0);
    EXPECT_GT(DecodeBudget(), 100 * MiB) << "the default: half the machine's memory";
}

// The decoders draw from it: a progressive JPEG for its coefficients, a TIFF
// for its whole picture; a baseline JPEG decodes a few rows at a time and
// needs none of it. A TIFF whose name is in another encoding opens too.
TEST_F(OneBudget, ProgressiveJpegsAndTiffsDrawFromTheBudget) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    const TPixels pixels = MakePixels(1024, 1024, 3);
    TJpegOptions progressive;
    progressive.Progressive = true;
    SaveBytes(base + "progressive.jpg", EncodeJpeg(pixels, progressive));
    SaveBytes(base + "baseline.jpg", EncodeJpeg(pixels));
    QImage image(1024, 1024, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    SaveBytes(base + "caf\xe9.tif", tiff_files::EncodeTiff(image));

    SetDecodeBudget(MiB);
    for (const char* name : {"progressive.jpg", "caf\xe9.tif"}) try {
            name[0] == 'p' ? DecodeJpeg(base + name) : DecodeTiff(base + name);
            ADD_FAILURE() << name << " decoded within 1 MiB";
        } catch (const TPictureError& e) {
            EXPECT_NE(std::string(e.what()).find("more than the memory limit of 1 MiB"),
                      std::string::npos)
                << e.what();
        }
    EXPECT_NO_THROW(DecodeJpeg(base + "baseline.jpg"));
    SetDecodeBudget(0);
    EXPECT_NO_THROW(DecodeJpeg(base + "progressive.jpg"));
    EXPECT_EQ(GetPixel(DecodeTiff(base + "caf\xe9.tif"), 5, 5), (TRGB{0, 128, 128}));
}

} // namespace
