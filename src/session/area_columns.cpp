#include "area_columns.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

const TAreaColumn AreaColumns[AreaColumnCount] = {
    {"label", "the area's label in the label map"},
    {"pixels", "pixels of the area: the sum of its run lengths"},
    {"centre_x", "column of its centre: the mean column of its pixels, truncated"},
    {"centre_y", "row of its centre: the mean row of its pixels, truncated"},
    {"left", "leftmost column of its runs"},
    {"top", "topmost row of its runs"},
    {"right", "rightmost column of its runs"},
    {"bottom", "bottommost row of its runs"},
    {"outline_points", "points of its traced outline"},
    {"radius_sum", "sum of the whole distances of the outline points from the centre"},
    {"profile_0", "share of the outline's distance in the sector 0-45 degrees, of 255"},
    {"profile_1", "share in the sector 45-90 degrees"},
    {"profile_2", "share in the sector 90-135 degrees"},
    {"profile_3", "share in the sector 135-180 degrees"},
    {"profile_4", "share in the sector 180-225 degrees"},
    {"profile_5", "share in the sector 225-270 degrees"},
    {"profile_6", "share in the sector 270-315 degrees"},
    {"profile_7", "share in the sector 315-360 degrees"},
};

TAreaFigures Figures(const TArea& a) {
    TAreaFigures f;
    f.Label = a.label;
    f.CentreX = a.meanX;
    f.CentreY = a.meanY;
    f.Left = f.Top = 256;
    f.Right = f.Bottom = -1;
    for (const TLineSeg& run : a.runs) {
        if (run.len == 0) continue; // an entry whose pixels were taken by another run
        f.Pixels += run.len;
        f.Left = std::min<int32_t>(f.Left, run.x);
        f.Right = std::max<int32_t>(f.Right, run.x + run.len - 1);
        f.Top = std::min<int32_t>(f.Top, run.y);
        f.Bottom = std::max<int32_t>(f.Bottom, run.y);
    }
    if (f.Pixels == 0) f.Left = f.Top = f.Right = f.Bottom = 0;
    f.OutlinePoints = int32_t(a.contour.size());
    f.RadiusSum = a.radiusSum;
    std::copy(a.shape, a.shape + 8, f.Profile);
    return f;
}

double AreaColumnValue(const TAreaFigures& f, int c) {
    switch (c) {
    case 0:
        return f.Label;
    case 1:
        return f.Pixels;
    case 2:
        return f.CentreX;
    case 3:
        return f.CentreY;
    case 4:
        return f.Left;
    case 5:
        return f.Top;
    case 6:
        return f.Right;
    case 7:
        return f.Bottom;
    case 8:
        return f.OutlinePoints;
    case 9:
        return f.RadiusSum;
    default:
        return f.Profile[c - 10];
    }
}

bool AreaColumnIsWhole(int c) {
    return c != 9;
}

std::string AreaColumnText(const TAreaFigures& f, int c) {
    char buf[32];
    if (!AreaColumnIsWhole(c)) {
        std::snprintf(buf, sizeof buf, "%.9g", double(f.RadiusSum));
        return buf;
    }
    // The digits printf's %d gives, without parsing a format for each figure.
    return {buf, std::to_chars(buf, buf + sizeof buf, int(AreaColumnValue(f, c))).ptr};
}

std::vector<const TArea*> KeptAreas(const TAreaState& s) {
    std::vector<const TArea*> kept;
    for (int32_t i = 0; i <= s.AreaCount; ++i)
        if (s.Areas[i]) kept.push_back(s.Areas[i].get());
    std::stable_sort(kept.begin(), kept.end(),
                     [](const TArea* a, const TArea* b) { return a->label < b->label; });
    return kept;
}

int32_t RecordOfLabel(const TAreaState& s, int32_t label) {
    if (label <= 0) return -1;
    for (int32_t i = 0; i <= s.AreaCount; ++i)
        if (s.Areas[i] && s.Areas[i]->label == label) return i;
    return -1;
}

std::string AreasCsv(const TAreaState& s) {
    std::string out;
    for (int c = 0; c < AreaColumnCount; ++c) {
        if (c > 0) out += ',';
        out += AreaColumns[c].Name;
    }
    out += "\r\n";
    for (const TArea* a : KeptAreas(s)) {
        const TAreaFigures f = Figures(*a);
        for (int c = 0; c < AreaColumnCount; ++c) {
            if (c > 0) out += ',';
            out += AreaColumnText(f, c);
        }
        out += "\r\n";
    }
    return out;
}
