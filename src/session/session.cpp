#include "session.h"

#include "areas/probe.h"
#include "image/compute_planes.h"
#include "image/intake.h"
#include "palette.h"

TSession::TSession() {
    CreateBitmap(Grid, 256, 256, {255, 255, 255});
    CreateBitmap(View, 256, 256);
}

std::unique_ptr<TSession> NewSession() {
    return std::make_unique<TSession>();
}

void LoadPicture(TSession& s, const std::string& path) {
    TPlacement placement = s.Placement;
    const TPictureSize size = LoadPicture(path, s.Grid, &placement);
    // An empty path loads nothing and leaves the placement unresolved.
    s.Picture = {path, size, ResolvePlacement(placement, size.Width, size.Height)};
}

void ComputePlanes(TSession& s) {
    ComputePlanes(s.Grid, s.Planes);
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
    for (int y = 0; y < 256; ++y) {
        uint8_t* out = view.Rows[size_t(y)];
        if (b == aArH) {
            const uint8_t* p = planes[aArH][y];
            for (int x = 0; x < 256; ++x, out += 3) {
                const TRGB c = Palette[p[x]];
                out[0] = c.b;
                out[1] = c.g;
                out[2] = c.r;
            }
        } else if (b == aZ) {
            const uint8_t* p0 = planes[aNo1][y];
            const uint8_t* p1 = planes[aNo2][y];
            const uint8_t* p10 = planes[aH][y];
            for (int x = 0; x < 256; ++x, out += 3) {
                out[0] = tone[p1[x] + p0[x]];
                out[1] = tone[2 * p0[x]];
                out[2] = tone[p10[x] + p0[x]];
            }
        } else {
            const uint8_t* p = planes[b][y];
            for (int x = 0; x < 256; ++x, out += 3) out[0] = out[1] = out[2] = tone[p[x]];
        }
    }
}

bool ProbeArea(TSession& s, int32_t x, int32_t y) {
    return ProbeArea(s.Areas, s.View, x, y);
}
