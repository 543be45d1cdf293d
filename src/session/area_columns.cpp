#include "area_columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    {"inside", "share of its pixels inside the picture's footprint on the grid, 0 to 1"},
    {"picture_centre_x", "centre_x in the picture's own columns (through the placement)"},
    {"picture_centre_y", "centre_y in the picture's own rows"},
    {"picture_left", "left in the picture's columns"},
    {"picture_top", "top in the picture's rows"},
    {"picture_right", "right in the picture's columns"},
    {"picture_bottom", "bottom in the picture's rows"},
    {"picture_pixels", "pixels of the picture it stands for: pixels times k squared when shrunk"},
};

TAreaFigures Figures(const TArea& a, const TFootprint& footprint) {
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
    int64_t inside = 0;
    for (const TLineSeg& run : a.runs)
        if (run.len > 0 && run.y < footprint.Height)
            inside += std::max(0, std::min<int>(run.x + run.len, footprint.Width) - run.x);
    // Rounded to the three decimals written, so that the table sorts and
    // hides by the figure it shows.
    if (f.Pixels > 0) f.Inside = std::round(double(inside) * 1000 / f.Pixels) / 1000;
    f.PictureCentreX = PictureColumn(footprint, f.CentreX);
    f.PictureCentreY = PictureRow(footprint, f.CentreY);
    f.PictureLeft = PictureColumn(footprint, f.Left);
    f.PictureTop = PictureRow(footprint, f.Top);
    f.PictureRight = PictureColumn(footprint, f.Right);
    f.PictureBottom = PictureRow(footprint, f.Bottom);
    f.PicturePixels = PicturePixels(footprint, f.Pixels);
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
    case InsideColumn:
        return f.Inside;
    case 19:
        return f.PictureCentreX;
    case 20:
        return f.PictureCentreY;
    case 21:
        return f.PictureLeft;
    case 22:
        return f.PictureTop;
    case 23:
        return f.PictureRight;
    case 24:
        return f.PictureBottom;
    case 25:
        return double(f.PicturePixels);
    default:
        return f.Profile[c - 10];
    }
}

bool AreaColumnIsWhole(int c) {
    // radius_sum, inside and the picture's coordinates (halves for an even
    // shrink factor) are fractions; the rest are whole numbers.
    return c != 9 && c != InsideColumn && !(c > InsideColumn && c < 25);
}

std::string AreaColumnText(const TAreaFigures& f, int c) {
    char buf[32];
    if (c == 9) {
        std::snprintf(buf, sizeof buf, "%.9g", double(f.RadiusSum));
        return buf;
    }
    if (c == InsideColumn) {
        std::snprintf(buf, sizeof buf, "%.3f", f.Inside);
        return buf;
    }
    if (c > InsideColumn && c < 25) { // whole, or a half for an even shrink factor
        std::snprintf(buf, sizeof buf, "%.1f", AreaColumnValue(f, c));
        const std::string text = buf;
        return text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0
                   ? text.substr(0, text.size() - 2)
                   : text;
    }
    if (c == 25) return {buf, std::to_chars(buf, buf + sizeof buf, f.PicturePixels).ptr};
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

std::string AreasCsv(const TAreaState& s, const TFootprint& footprint) {
    std::string out;
    for (int c = 0; c < AreaColumnCount; ++c) {
        if (c > 0) out += ',';
        out += AreaColumns[c].Name;
    }
    out += "\r\n";
    for (const TArea* a : KeptAreas(s)) {
        const TAreaFigures f = Figures(*a, footprint);
        for (int c = 0; c < AreaColumnCount; ++c) {
            if (c > 0) out += ',';
            out += AreaColumnText(f, c);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<std::vector<double>> AreaColumnValues(const TAreaState& s,
                                                  const TFootprint& footprint) {
    const std::vector<const TArea*> kept = KeptAreas(s);
    std::vector<std::vector<double>> columns(AreaColumnCount, std::vector<double>(kept.size()));
    for (size_t r = 0; r < kept.size(); ++r) {
        const TAreaFigures f = Figures(*kept[r], footprint);
        for (int c = 0; c < AreaColumnCount; ++c) columns[size_t(c)][r] = AreaColumnValue(f, c);
    }
    return columns;
}
