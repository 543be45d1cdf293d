#include "readout.h"

#include "areas/probe.h"
#include "session/area_columns.h"
#include "session/footprint.h"
#include "session/session.h"

namespace {

bool InPlanes(int x, int y) {
    return x >= 0 && y >= 0 && x < 256 && y < 256;
}

QString PlaneName(int p) {
    return QString("plane %1 %2").arg(p).arg(PlaneIds[p]);
}

// The label under (x, y), 0 off any area. The label map is only whole
// between passes.
int32_t LabelAt(const TSession& s, int x, int y) {
    if (!InPlanes(x, y) || s.Areas.PassRunning) return 0;
    return s.Areas.LabelMap[y][x];
}

QString LabelWords(int32_t label) {
    if (label == 0) return "no area";
    return QString("label %1").arg(label);
}

// Whether the label is a kept area's (the label map also holds rejected and
// released fills).
bool Kept(const TSession& s, int32_t label) {
    return label != 0 && RecordOfLabel(s.Areas, label) >= 0;
}

// The probe's words: which area it picked, and how alike the area under the
// pointer is to it, as the colour it is drawn in (1 brightest, most alike).
QString ProbeWords(const TSession& s, int32_t label) {
    const TAreaState& a = s.Areas;
    const TProbePick& pick = a.ProbePick;
    if (pick.Index < 0 || a.PassRunning || !a.Areas[pick.Index]) return {};
    const int32_t picked = a.Areas[pick.Index]->label;
    const int32_t i = RecordOfLabel(a, label);
    if (i == pick.Index) return "the probe picked this area";
    if (i < 0) return QString("the probe picked label %1").arg(picked);
    const auto likeness = [&](float diff) {
        return QString::number(LikenessColour(diff, pick.Lo, pick.Hi) / 255.0, 'f', 2);
    };
    return QString("likeness to %1: plain %2, mirrored %3")
        .arg(picked)
        .arg(likeness(a.Likeness[i].plain))
        .arg(likeness(a.Likeness[i].mirrorBest));
}

QString PlaneViewValue(const TSession& s, int shown, int x, int y) {
    if (shown < 0) return "the picture's reductions, no plane";
    if (!InPlanes(x, y)) return "the view's edge, outside the planes";
    const TPlanes& planes = s.Planes;
    if (shown == aZ) return CompositeWords(s, x, y);
    const QString value = QString("%1: %2").arg(PlaneName(shown)).arg(planes[shown][y][x]);
    if (shown != aArH) return value;
    const int32_t label = LabelAt(s, x, y);
    return value + ", " + LabelWords(label) + (label && !Kept(s, label) ? " (not kept)" : "");
}

// How much of a kept area lies on the picture, said only when not all of it.
QString InsideWords(const TSession& s, int32_t label) {
    const TAreaFigures f =
        Figures(*s.Areas.Areas[RecordOfLabel(s.Areas, label)], FootprintOf(s.Picture));
    if (f.Inside >= 1) return {};
    if (f.Inside <= 0) return "outside the picture (inside 0)";
    return QString("inside the picture %1").arg(f.Inside, 0, 'f', 3);
}

} // namespace

QStringList PointerLines(const TSession& s, const TViewState& v, const TSpot& at) {
    const int x = at.X, y = at.Y;
    const QString place = QString(", column %1, row %2").arg(x).arg(y);
    switch (at.View) {
    case TViewKind::Picture: {
        if (!InPlanes(x, y)) return {"Picture" + place};
        return {"Picture" + place, PictureColourWords(s, x, y)};
    }
    case TViewKind::PlaneView:
        return {"Plane view" + place, PlaneViewValue(s, v.ShownPlane, x, y)};
    case TViewKind::AreaView:
        break;
    }
    const int32_t label = LabelAt(s, x, y);
    QStringList more;
    if (label && !Kept(s, label)) more << "not kept";
    if (label && Kept(s, label)) more << InsideWords(s, label);
    if (v.AreaViewShowsProbe) more << ProbeWords(s, label);
    more.removeAll(QString());
    QStringList lines{"Area view" + place + ": " + LabelWords(label)};
    if (!more.isEmpty()) lines << more.join("; ");
    return lines;
}

QStringList AnalysisLines(const TSession& s, std::optional<double> scanBest) {
    if (!s.LastPass) return {"No analysis yet."};
    const TPassResult& r = *s.LastPass;
    QStringList lines;
    lines << "Last analysis: " +
                 (r.Plane < 0 ? QString("brightness/noise mix") : PlaneName(r.Plane));
    lines << QString("threshold %1, raised to %2").arg(r.Threshold).arg(r.RaisedLevel);
    int inPicture = 0;
    const TFootprint footprint = FootprintOf(s.Picture);
    for (const TArea* a : KeptAreas(s.Areas)) inPicture += Figures(*a, footprint).Inside > 0;
    lines << QString("%1 areas kept, ").arg(r.KeptAreas) +
                 (inPicture < r.KeptAreas ? QString("%1 on the picture, ").arg(inPicture)
                                          : QString()) +
                 (r.RejectedLast < 0 ? QString("no fill rejected")
                                     : QString("last rejected fill %1").arg(r.RejectedLast));
    if (scanBest) lines << QString("scan best score %1").arg(*scanBest, 0, 'f', 1);
    return lines;
}
std::optional<int32_t> PixelNumber(const TSession& s, const TViewState& v, const TSpot& at) {
    if (!InPlanes(at.X, at.Y)) return std::nullopt;
    const bool areaMap =
        at.View == TViewKind::AreaView || (at.View == TViewKind::PlaneView && v.ShownPlane == aArH);
    if (areaMap) {
        const int32_t label = LabelAt(s, at.X, at.Y);
        return label ? std::optional<int32_t>(label) : std::nullopt;
    }
    if (at.View == TViewKind::PlaneView && v.ShownPlane >= 0 && v.ShownPlane != aZ)
        return s.Planes[v.ShownPlane][at.Y][at.X];
    return std::nullopt;
}

QString PictureColourWords(const TSession& s, int x, int y) {
    const TRGB c = GetPixel(s.Grid, x, y);
    return QString("red %1, green %2, blue %3").arg(c.r).arg(c.g).arg(c.b);
}

QString CompositeWords(const TSession& s, int x, int y) {
    const TPlanes& planes = s.Planes;
    return QString("hue %1, small noise %2, spots %3")
        .arg(planes[aH][y][x])
        .arg(planes[aNo1][y][x])
        .arg(planes[aNo2][y][x]);
}
