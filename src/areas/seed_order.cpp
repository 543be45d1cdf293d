#include "seed_order.h"

#include "../image/planes_simd.h"

#include <cstring>

namespace {

// ClampTab[(7 v - n) div 8] for every pixel: the quotient lies within
// -31..223, where the clamp is max(0, q); computed instead of looked up, so
// that the loop is a vector loop. True when `out` held another plane.
TESSA_CLONES bool MixPlanes(const TPlane& __restrict v, const TPlane& __restrict n,
                            uint8_t (&__restrict out)[256][256]) {
    uint8_t changed = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int q = (7 * int(v[y][x]) - int(n[y][x])) / 8;
            const uint8_t mixed = uint8_t(q < 0 ? 0 : q);
            changed |= uint8_t(out[y][x] ^ mixed);
            out[y][x] = mixed;
        }
    return changed != 0;
}

// The positions, filed as the buckets file them: counted per value, then
// each placed after those of lower values and those of its value met before
// it. Four row bands are counted and placed side by side, each with cursors
// of its own, so that runs of one value do not wait on one cursor; the bands
// keep row order, since each band's positions of a value follow those of the
// bands above.
void SortPositions(TSeedOrder& o) {
    constexpr int Bands = 4, FirstRow = 1, Rows = 254;
    constexpr int BandRows[Bands] = {64, 64, 63, 63};
    int bandStart[Bands];
    for (int b = 0, y = FirstRow; b < Bands; y += BandRows[b], ++b) bandStart[b] = y;
    int32_t count[Bands][256] = {};
    const auto& plane = o.Plane;
    for (int r = 0; r < BandRows[0]; ++r)
        for (int x = 1; x <= 254; ++x)
            for (int b = 0; b < Bands; ++b)
                if (r < BandRows[b]) ++count[b][plane[bandStart[b] + r][x]];
    static_assert(BandRows[0] + BandRows[1] + BandRows[2] + BandRows[3] == Rows);

    int32_t cursor[Bands][256];
    o.Filed = 0;
    int32_t next = 0;
    for (int v = 0; v < 256; ++v) {
        o.Count[v] = v == 255 ? 0 : count[0][v] + count[1][v] + count[2][v] + count[3][v];
        if (v < 255) o.Filed += o.Count[v];
        o.First[v] = next;
        for (int b = 0; b < Bands; ++b) {
            cursor[b][v] = next;
            if (v >= 1 && v <= 254) next += count[b][v];
        }
    }
    // Values 0 and 255 are counted (0) or left out (255) but never placed:
    // bucket 0 is never visited.
    for (int r = 0; r < BandRows[0]; ++r)
        for (int x = 1; x <= 254; ++x)
            for (int b = 0; b < Bands; ++b) {
                if (r >= BandRows[b]) continue;
                const int y = bandStart[b] + r;
                const int v = plane[y][x];
                if (v == 0 || v == 255) continue;
                o.Positions[cursor[b][v]++] = uint16_t(y * 256 + x);
            }
}

} // namespace

void PrepareSeedOrder(const TPlanes& planes, const TPassOptions& options, TSeedOrder& order) {
    bool changed;
    if (options.ByPlane && options.Plane >= 0 && options.Plane < PlaneCount) {
        const TPlane& plane = planes[options.Plane];
        changed = std::memcmp(order.Plane, plane, sizeof order.Plane) != 0;
        if (changed) std::memcpy(order.Plane, plane, sizeof order.Plane);
    } else { // also when no plane is selected: the brightness/noise mix
        changed = MixPlanes(planes[aV], planes[aNo1], order.Plane);
    }
    // The positions depend on the plane alone.
    if (!changed && order.Sorted) return;
    SortPositions(order);
    order.Sorted = true;
}
