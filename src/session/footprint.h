// The picture's footprint on the grid: the rectangle at the grid's top-left
// corner that its pixels cover under their placement. The rest of the grid
// holds white or what earlier pictures left there, which the analysis reads
// as well; the footprint says which of its results are the picture's, and
// where they lie in the picture's own pixels.
#pragma once

#include "image/placement.h"
#include "session.h"

#include <cstdint>
#include <string>

struct TFootprint {
    int Width = 0, Height = 0; // on the grid, from column 0 and row 0
    TPlacement Placement;      // resolved for the picture
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

// Nothing before the first picture.
TFootprint FootprintOf(const TPictureInfo& picture);

// A grid column or row in the picture's pixels: the part's offset added, or
// for a shrunk picture the centre of the k x k block the grid pixel stands
// for (k * g + (k - 1) / 2, a half-pixel when k is even).
double PictureColumn(const TFootprint& f, double gridX);
double PictureRow(const TFootprint& f, double gridY);
// Pixels of the picture that `gridPixels` grid pixels stand for.
int64_t PicturePixels(const TFootprint& f, int64_t gridPixels);

// True when the picture is larger than the grid and only its top-left
// 256 x 256 landed: what the window and the batch say in words
// (PartialAnalysisMessage).
bool OnlyPartAnalysed(const TPictureInfo& picture);
// "only the top-left 256 x 256 of W x H was analysed; see --fit / --part"
// (a side shorter than 256 as it is).
std::string PartialAnalysisMessage(const TPictureInfo& picture);
