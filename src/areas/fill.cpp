// Line-stack region fill.
//
// Reads: WorkPlane (with its frame of 255 values), LabelMap, Level, CurLabel,
// the record Areas[AreaCount] (its minX, set to 255 by the caller),
// RejectedLast.
// Writes: the taken pixels in LabelMap (CurLabel) and WorkPlane (Level); the
// record's meanX, meanY, minX, minXRow, label; Lines; AreaPixels; SizeSum and
// SizeMax; RejectedAreas and RejectedLast; OverflowWarnings; the steps taken
// and the segment-list warning to the observer.
// Leaves for the next step: the area's runs in Lines entries 0 to Lines.s and
// the halved whole square root of the pixel count in AreaPixels.
#include "fill.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t LargestArea = 21675; // larger fills are rejected
constexpr int32_t SmallestArea = 3;    // smaller fills are rejected

#ifndef NDEBUG
// The fill has no coordinate tests: the 255 frame must stop every scan.
bool FrameIntact(const uint8_t (&WorkPlane)[256][256]) {
    for (int i = 0; i < 256; ++i)
        if (WorkPlane[0][i] != 255 || WorkPlane[255][i] != 255 || WorkPlane[i][0] != 255 ||
            WorkPlane[i][255] != 255)
            return false;
    return true;
}
#endif

// The label as the colour value 0x00BBGGRR (red in the low byte); labels
// below 256 come out grey. The product wraps like the 32-bit original.
TRGB StepColour(int32_t label) {
    const uint32_t v = uint32_t(label) * 65793u;
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
}

// Joinable pixels of one row: below the level and carrying the key in the
// label map. Sixteen pixels are tested at a time; bit i of a mask stands for
// pixel x + i. The frame of 255 values ends every run within the row.
class TJoinable {
  public:
    TJoinable(const TAreaState& s, uint8_t level, int32_t key)
        : WorkPlane(s.WorkPlane), LabelMap(s.LabelMap), Level(level), Key(key) {
#if defined(__SSE2__)
        // x < level as min(x, level - 1) == x; with level 0 nothing is below.
        Below = _mm_set1_epi8(char(level == 0 ? 0 : level - 1));
        Keys = _mm_set1_epi32(key);
#endif
    }

    // Pixels x .. x + 15 of row y, those past column 255 not joinable.
    uint32_t At16(int32_t x, int32_t y) const {
        if (x >= 256) return 0;
        const int32_t from = x < 240 ? x : 240;
        return Aligned16(from, y) >> (x - from);
    }

    // The first pixel from x on (x included) that is not joinable.
    int32_t RightEnd(int32_t x, int32_t y) const {
        for (;;) {
            const uint32_t m = At16(x, y);
            const int32_t n = std::countr_one(m);
            x += n;
            if (n < 16) return x;
        }
    }

    // The leftmost pixel of the joinable stretch that ends just left of x
    // (x itself when pixel x - 1 is not joinable).
    int32_t LeftEnd(int32_t x, int32_t y) const {
        for (;;) {
            const int32_t from = x >= 16 ? x - 16 : 0;
            // Pixel x - 1 at the top bit, pixels before `from` as not joinable.
            const uint16_t m = uint16_t(Aligned16(from, y) << (16 - (x - from)));
            const int32_t n = std::countl_one(m);
            x -= n;
            if (n < 16) return x;
        }
    }

  private:
    // Pixels x .. x + 15 of row y, x <= 240.
    uint32_t Aligned16(int32_t x, int32_t y) const {
#if defined(__SSE2__)
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&WorkPlane[y][x]));
        const __m128i below = _mm_cmpeq_epi8(_mm_min_epu8(w, Below), w);
        const auto* l = reinterpret_cast<const __m128i*>(&LabelMap[y][x]);
        const __m128i k0 = _mm_cmpeq_epi32(_mm_loadu_si128(l), Keys);
        const __m128i k1 = _mm_cmpeq_epi32(_mm_loadu_si128(l + 1), Keys);
        const __m128i k2 = _mm_cmpeq_epi32(_mm_loadu_si128(l + 2), Keys);
        const __m128i k3 = _mm_cmpeq_epi32(_mm_loadu_si128(l + 3), Keys);
        const __m128i keys = _mm_packs_epi16(_mm_packs_epi32(k0, k1), _mm_packs_epi32(k2, k3));
        const uint32_t m = uint32_t(_mm_movemask_epi8(_mm_and_si128(below, keys)));
        return Level == 0 ? 0 : m;
#else
        uint32_t m = 0;
        for (int i = 0; i < 16; ++i)
            m |= uint32_t(WorkPlane[y][x + i] < Level && LabelMap[y][x + i] == Key) << i;
        return m;
#endif
    }

    const uint8_t (&WorkPlane)[256][256];
    const int32_t (&LabelMap)[256][256];
    const uint8_t Level;
    const int32_t Key;
#if defined(__SSE2__)
    __m128i Below, Keys;
#endif
};

} // namespace

bool FillArea(TAreaState& st, int32_t x0, int32_t y0, int32_t key, TPassObserver& observer,
              bool paint) {
    auto& WorkPlane = st.WorkPlane;
    auto& LabelMap = st.LabelMap;
    TLines& Lines = st.Lines;
    assert(FrameIntact(WorkPlane));
    assert(x0 > 0 && x0 < 255 && y0 > 0 && y0 < 255);

    TArea& area = *st.Areas[st.AreaCount];
    const uint8_t level = st.Level;
    const int32_t label = st.CurLabel;
    const TJoinable joinable(st, level, key);

    int32_t pixels = 0, sumX = 0, sumY = 0, neighbour = 0, read = 0;
    Lines.s = 0;
    Lines.e[0] = {uint8_t(x0), uint8_t(y0), 0};
    const TRGB colour = StepColour(label);
    bool warned = false;

    while (read < StackSize && Lines.s < StackSize && read <= Lines.s) {
        TLineSeg& seg = Lines.e[read];
        const int32_t r = seg.y;
        const int32_t left = joinable.LeftEnd(seg.x, r);
        if (left < area.minX) {
            area.minX = uint16_t(left);
            area.minXRow = uint16_t(r);
            area.label = label;
        }
        // The neighbour is looked for only here, at the left end of a run.
        if (neighbour == 0 && LabelMap[r][left - 1] > 0) neighbour = LabelMap[r][left - 1];
        seg.x = uint8_t(left);
        const int32_t right = joinable.RightEnd(left, r); // the run is left .. right - 1
        const int32_t n = right - left;

        // A run enters at most one stretch above or below per two pixels.
        // Near the end of the list the warning and the cap fall inside the
        // run, so it is worked pixel by pixel there.
        if (Lines.s + n + 2 > StackSize - 2) {
            int32_t k = left;
            bool above = false, below = false;
            while (k < right) {
                // One warning per fill is enough: the list is about to run out.
                if (Lines.s > StackSize - 2 && !warned) {
                    warned = true;
                    ++st.OverflowWarnings;
                    observer.SegmentListNearlyFull();
                }
                LabelMap[r][k] = label;
                WorkPlane[r][k] = level;
                if (paint) observer.FillStepTaken(k, r, colour);
                // Entries start with len 0 so that any left unworked after an
                // overflow describe no pixels.
                const bool up = (joinable.At16(k, r - 1) & 1) != 0;
                if (up && Lines.s < StackSize) {
                    if (!above) Lines.e[++Lines.s] = {uint8_t(k), uint8_t(r - 1), 0};
                    above = true;
                } else {
                    above = false;
                }
                const bool down = (joinable.At16(k, r + 1) & 1) != 0;
                if (down && Lines.s < StackSize) {
                    if (!below) Lines.e[++Lines.s] = {uint8_t(k), uint8_t(r + 1), 0};
                    below = true;
                } else {
                    below = false;
                }
                ++k;
            }
        } else {
            // A stretch above or below is entered once, at its leftmost
            // pixel within this run; above before below at one column.
            uint32_t carryAbove = 0, carryBelow = 0;
            for (int32_t x = left; x < right; x += 16) {
                const uint32_t inRun = right - x >= 16 ? 0xFFFFu : (1u << (right - x)) - 1;
                const uint32_t up = joinable.At16(x, r - 1) & inRun;
                const uint32_t down = joinable.At16(x, r + 1) & inRun;
                const uint32_t upStarts = up & ~(up << 1 | carryAbove);
                const uint32_t downStarts = down & ~(down << 1 | carryBelow);
                carryAbove = up >> 15;
                carryBelow = down >> 15;
                for (uint32_t starts = upStarts | downStarts; starts != 0; starts &= starts - 1) {
                    const int32_t i = std::countr_zero(starts);
                    const uint8_t k = uint8_t(x + i);
                    if (upStarts >> i & 1) Lines.e[++Lines.s] = {k, uint8_t(r - 1), 0};
                    if (downStarts >> i & 1) Lines.e[++Lines.s] = {k, uint8_t(r + 1), 0};
                }
            }
            std::fill(&LabelMap[r][left], &LabelMap[r][right], label);
            std::memset(&WorkPlane[r][left], level, size_t(n));
            if (paint)
                for (int32_t k = left; k < right; ++k) observer.FillStepTaken(k, r, colour);
        }
        pixels += n;
        sumX += n * left + n * (n - 1) / 2;
        sumY += n * r;
        seg.len = uint8_t(n);
        ++read;
    }

    if (pixels > 0) {
        sumX /= pixels;
        sumY /= pixels;
    }
    area.meanX = uint16_t(sumX);
    area.meanY = uint16_t(sumY);

    const double size = (double(pixels) / 10.0) * double(pixels);
    st.SizeSum += size;
    if (size > st.SizeMax) st.SizeMax = size;

    bool result;
    if (pixels == 1) {
        // A lone pixel joins the area at its left, or goes back to none.
        LabelMap[y0][x0] = neighbour;
        result = false;
    } else if (key == 0 && pixels > 0 && (pixels > LargestArea || pixels < SmallestArea) &&
               st.RejectedLast < RejectedHigh) {
        st.RejectedAreas[++st.RejectedLast] = {x0, y0, label, neighbour};
        result = false;
    } else {
        result = true;
    }

    st.AreaPixels = int32_t(std::sqrt(double(pixels))) / 2;
    return result;
}
