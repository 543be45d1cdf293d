#include "session.h"

#include <cstring>

#include "areas/probe.h"
#include "image/compute_planes.h"
#include "image/intake.h"
#include "palette.h"

TSession::TSession(int workers) : Workers(workers) {
    CreateBitmap(Grid, 256, 256, {255, 255, 255});
    CreateBitmap(View, 256, 256);
}

std::unique_ptr<TSession> NewSession(int workers) {
    return std::make_unique<TSession>(workers);
}

void LoadPicture(TSession& s, const std::string& path) {
    TPlacement placement = s.Placement;
    const TPictureSize size = LoadPicture(path, s.Grid, &placement);
    // An empty path loads nothing and leaves the placement unresolved.
    s.Picture = {path, size, ResolvePlacement(placement, size.Width, size.Height)};
}

void LoadPixels(TSession& s, const TRgbPixels& pixels, const std::string& name) {
    TPlacement placement = s.Placement;
    const TPictureSize size = PlacePixels(pixels, s.Grid, &placement);
    s.Picture = {name, size, placement};
}

void ComputePlanes(TSession& s) {
    ComputePlanes(s.Grid, s.Planes, &s.Workers);
}

TPassResult FindAreas(TSession& s, const TPassOptions& options, TPassObserver& observer) {
    s.Areas.ProbePick = {}; // the pass replaces the records the last pick refers to
    s.LastPass = FindAreas(s.Areas, s.Tree, s.Planes, s.View, options, observer);
    return *s.LastPass;
}

void DrawPlane(TSession& s, uint8_t b) {
    DrawPlane(s, b, s.View);
}

void DrawPlane(const TSession& s, uint8_t b, TBitmap& view) {
    if (b >= PlaneCount) return;
    const TPlanes& planes = s.Planes;
    const TToneTab& tone = s.ToneTab;
    // A grey or palette pixel is one 32-bit store of its blue, green and red
    // bytes (and one byte the next pixel overwrites), into a row buffer on
    // the stack with room for the last pixel's spare byte; the row is then
    // copied into the view.
    uint32_t colour[256];
    if (b == aArH)
        for (int v = 0; v < 256; ++v)
            colour[v] = Palette[v].b | Palette[v].g << 8 | Palette[v].r << 16;
    else
        for (int v = 0; v < 256; ++v) colour[v] = uint32_t(tone[v]) * 0x010101u;
    uint8_t row[256 * 3 + 1];
    for (int y = 0; y < 256; ++y) {
        uint8_t* out = row;
        if (b == aZ) {
            const uint8_t* p0 = planes[aNo1][y];
            const uint8_t* p1 = planes[aNo2][y];
            const uint8_t* p10 = planes[aH][y];
            for (int x = 0; x < 256; ++x, out += 3) {
                const uint32_t c = tone[p1[x] + p0[x]] | tone[2 * p0[x]] << 8 |
                                   uint32_t(tone[p10[x] + p0[x]]) << 16;
                std::memcpy(out, &c, 4);
            }
        } else {
            const uint8_t* p = planes[b][y];
            for (int x = 0; x < 256; ++x, out += 3) std::memcpy(out, &colour[p[x]], 4);
        }
        std::memcpy(view.Rows[size_t(y)], row, 256 * 3);
    }
}

bool ProbeArea(TSession& s, int32_t x, int32_t y) {
    return ProbeArea(s.Areas, s.View, x, y);
}
