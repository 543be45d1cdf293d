#include "footprint.h"

#include <algorithm>

TFootprint FootprintOf(const TPictureInfo& picture) {
    TFootprint f;
    // Nothing has landed yet (a picture from memory has no path, but a size).
    if (picture.Size.Width <= 0 || picture.Size.Height <= 0) return f;
    f.Placement = picture.Placement;
    f.Width = PlacedWidth(picture.Placement, picture.Size.Width);
    f.Height = PlacedHeight(picture.Placement, picture.Size.Height);
    return f;
}

namespace {

double Mapped(const TPlacement& p, int offset, double g) {
    if (p.Kind == TPlacement::Fit) return g * p.K + (p.K - 1) / 2.0;
    return g + offset;
}

} // namespace

double PictureColumn(const TFootprint& f, double gridX) {
    return Mapped(f.Placement, f.Placement.Kind == TPlacement::Part ? f.Placement.X : 0, gridX);
}

double PictureRow(const TFootprint& f, double gridY) {
    return Mapped(f.Placement, f.Placement.Kind == TPlacement::Part ? f.Placement.Y : 0, gridY);
}

int64_t PicturePixels(const TFootprint& f, int64_t gridPixels) {
    const int64_t k = f.Placement.Kind == TPlacement::Fit ? f.Placement.K : 1;
    return gridPixels * k * k;
}

bool OnlyPartAnalysed(const TPictureInfo& picture) {
    return !picture.Path.empty() && picture.Placement.Kind == TPlacement::TopLeft &&
           (picture.Size.Width > 256 || picture.Size.Height > 256);
}

std::string PartialAnalysisMessage(const TPictureInfo& picture) {
    const int w = std::min(picture.Size.Width, 256), h = std::min(picture.Size.Height, 256);
    return "only the top-left " + std::to_string(w) + " x " + std::to_string(h) + " of " +
           std::to_string(picture.Size.Width) + " x " + std::to_string(picture.Size.Height) +
           " was analysed; see --fit / --part";
}
