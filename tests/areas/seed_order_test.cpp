// The seed order of the area pass: the working plane and its positions in
// the order the value buckets give them, against the buckets filed one
// position at a time.
#include "areas/seed_order.h"
#include "image/lookup_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

struct SeedOrder : ::testing::Test {
    std::unique_ptr<TPlanes> planes = std::make_unique<TPlanes>();
    std::unique_ptr<TSeedOrder> order = std::make_unique<TSeedOrder>();

    // The buckets as the rules file them: rows 1..254 top to bottom, columns
    // 1..254 left to right, every value below 255.
    void ExpectBucketOrder(const uint8_t (&plane)[256][256]) {
        std::vector<std::vector<uint16_t>> buckets(256);
        int32_t filed = 0;
        for (int y = 1; y <= 254; ++y)
            for (int x = 1; x <= 254; ++x)
                if (plane[y][x] < 255) {
                    buckets[plane[y][x]].push_back(uint16_t(y * 256 + x));
                    ++filed;
                }
        EXPECT_EQ(order->Filed, filed);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(order->Count[v], v == 255 ? 0 : int32_t(buckets[size_t(v)].size()))
                << "value " << v;
        for (int v = 1; v <= 254; ++v) {
            const std::vector<uint16_t> got(order->Positions + order->First[v],
                                            order->Positions + order->First[v + 1]);
            ASSERT_EQ(got, buckets[size_t(v)]) << "value " << v;
        }
        EXPECT_EQ(order->First[1], 0) << "bucket 0 is never visited: its positions are not placed";
    }
};

TEST_F(SeedOrder, MixIsTheClampedQuotientForEveryBrightnessAndNoise) {
    // Rows 0..255 of plane 12 hold the brightness, columns of plane 0 the
    // noise: every pair once.
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            (*planes)[aV][y][x] = uint8_t(y);
            (*planes)[aNo1][y][x] = uint8_t(x);
        }
    PrepareSeedOrder(*planes, {}, *order);
    for (int v = 0; v < 256; ++v)
        for (int n = 0; n < 256; ++n)
            ASSERT_EQ(order->Plane[v][n], ClampTab[(7 * v - n) / 8]) << v << ", " << n;
    ExpectBucketOrder(order->Plane);
}

TEST_F(SeedOrder, PositionsFollowTheBucketsOnRandomPlanes) {
    std::mt19937 rng(8);
    TPassOptions byPlane;
    byPlane.ByPlane = true;
    byPlane.Plane = 7;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int kind = round % 4;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const uint32_t r = rng();
                (*planes)[7][y][x] = kind == 0   ? uint8_t(r)                        // noise
                                     : kind == 1 ? uint8_t(r % 3 == 0 ? 255 : r % 4) // few values
                                     : kind == 2 ? uint8_t(x < 128 ? 0 : 255)        // none placed
                                                 : uint8_t((y / 16) * 16);           // one per band
            }
        PrepareSeedOrder(*planes, byPlane, *order);
        ASSERT_EQ(std::memcmp(order->Plane, (*planes)[7], sizeof order->Plane), 0);
        ExpectBucketOrder(order->Plane);
    }
}

// Prepared again from the same planes, the order is kept as it stands (a
// mark put into its positions stays); any change of a plane it reads, or of
// the plane chosen, sorts it again.
TEST_F(SeedOrder, IsKeptWhileItsPlaneIsUnchanged) {
    std::mt19937 rng(21);
    for (const int p : {int(aV), int(aNo1), 7})
        for (auto& row : (*planes)[p])
            for (auto& v : row) v = uint8_t(rng());
    TPassOptions byPlane;
    byPlane.ByPlane = true;
    byPlane.Plane = 7;
    PrepareSeedOrder(*planes, {}, *order);
    const uint16_t first = order->Positions[0];
    order->Positions[0] = 0xFFFF;
    PrepareSeedOrder(*planes, {}, *order);
    EXPECT_EQ(order->Positions[0], 0xFFFF) << "same planes: nothing sorted again";
    order->Positions[0] = first;

    (*planes)[aNo1][200][3] ^= 0x80; // one noise value: the mix changes
    PrepareSeedOrder(*planes, {}, *order);
    ExpectBucketOrder(order->Plane);
    (*planes)[aNo1][0][0] ^= 0x80; // on the frame: counted nowhere, but part of the plane
    PrepareSeedOrder(*planes, {}, *order);
    EXPECT_EQ(order->Plane[0][0], ClampTab[(7 * (*planes)[aV][0][0] - (*planes)[aNo1][0][0]) / 8]);
    ExpectBucketOrder(order->Plane);

    PrepareSeedOrder(*planes, byPlane, *order); // another plane chosen
    ASSERT_EQ(std::memcmp(order->Plane, (*planes)[7], sizeof order->Plane), 0);
    ExpectBucketOrder(order->Plane);
    order->Positions[0] = 0xFFFF;
    PrepareSeedOrder(*planes, byPlane, *order);
    EXPECT_EQ(order->Positions[0], 0xFFFF);
    (*planes)[7][128][128] ^= 1;
    PrepareSeedOrder(*planes, byPlane, *order);
    ExpectBucketOrder(order->Plane);
}

} // namespace
