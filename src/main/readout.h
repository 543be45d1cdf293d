// The readout: what lies under the pointer in each of the three views, and
// the state of the last analysis, in words; also the value each pixel of a
// view carries, as the magnifier prints it. Everything here only reads.
#pragma once

#include <QStringList>

#include <cstdint>
#include <optional>

struct TSession;

enum class TViewKind { Picture, PlaneView, AreaView };

// What the views show besides the session's own state.
struct TViewState {
    int ShownPlane = -1;             // the plane in the plane view, -1 none or the reductions
    bool AreaViewShowsProbe = false; // the area view shows the probe's likeness colouring
};

// A pixel of a view: where the pointer is (or was last).
struct TSpot {
    TViewKind View = TViewKind::Picture;
    int X = 0;
    int Y = 0;
};

// At most two lines: the view and the place (with the area label on the area
// view), then the value or values there.
QStringList PointerLines(const TSession& s, const TViewState& v, const TSpot& at);

// At most four lines on the last analysis: the plane analysed, the threshold
// chosen and raised, the areas kept (and how many of them lie on the
// picture, when not all), the last rejected fill, and the scan's best score
// when the analysis was a scan's.
QStringList AnalysisLines(const TSession& s, std::optional<double> scanBest);

// The words for a pixel, which the readout and the tooltips share: the
// picture's colour ("red R, green G, blue B") and the composite's three
// planes ("hue H, small noise N, spots S") at (x, y), inside the planes.
QString PictureColourWords(const TSession& s, int x, int y);
QString CompositeWords(const TSession& s, int x, int y);

// The number a magnified pixel carries: the plane value on a grey plane, the
// area label on the area map and on the area view. None on the picture, the
// composite, the reductions, outside the planes and off any area.
std::optional<int32_t> PixelNumber(const TSession& s, const TViewState& v, const TSpot& at);
