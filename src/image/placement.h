// Where a picture lands on the 256 x 256 grid: its top-left corner unscaled
// (what the analysis is defined on, and the default), a 256 x 256 part of it
// unscaled, or the whole picture shrunk by a whole factor to fit.
//
// Every placement is defined exactly, so that any tool can reproduce it:
// - Part at (X, Y): the part whose top-left corner is column X, row Y; X and
//   Y are clamped so that the part stays inside the picture (a side shorter
//   than 256 starts at 0).
// - Shrink to fit: k is the smallest whole number with ceil(width / k) <= 256
//   and ceil(height / k) <= 256; the shrunk picture is floor(width / k) x
//   floor(height / k) pixels, each the rounded mean of its k x k block per
//   channel, (sum + k * k / 2) / (k * k) in whole numbers. k = 1 is the
//   top-left placement.
// Whatever lands is drawn at the grid's top-left corner; the rest of the grid
// keeps what it held, as with a picture smaller than the grid.
#pragma once

#include "bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

struct TPlacement {
    enum TKind : uint8_t { TopLeft, Part, Fit };
    TKind Kind = TopLeft;
    int X = 0, Y = 0; // the part's corner
    int K = 1;        // the shrink factor; found when the placement is resolved
    friend bool operator==(const TPlacement&, const TPlacement&) = default;
};

// The placement made concrete for a picture of width x height: the part's
// corner clamped, or the shrink factor found.
TPlacement ResolvePlacement(const TPlacement& asked, int width, int height);

// Width and height of what lands on the grid from a picture of width x height
// under a resolved placement (0 on a side shorter than the shrink factor).
int PlacedWidth(const TPlacement& resolved, int width);
int PlacedHeight(const TPlacement& resolved, int height);

// The placement as text, in the form of where it is written:
//   Title   "top-left", "part at X,Y" or "shrunk 1/K" (the window's title)
//   Column  "top-left", "part X Y" or "fit K" (summary.csv)
//   Json    {"kind": "top-left"}, {"kind": "part", "x": X, "y": Y} or
//           {"kind": "fit", "k": K} (analysis.json)
//   Asked   "", "part at X,Y" or "fit": a placement asked for, before a
//           picture resolves it (the batch's record of its options)
enum class TPlacementForm { Title, Column, Json, Asked };
std::string PlacementText(const TPlacement& p, TPlacementForm form);

// The title's form of a resolved placement.
inline std::string DescribePlacement(const TPlacement& resolved) {
    return PlacementText(resolved, TPlacementForm::Title);
}

// Builds what lands on the grid from a picture's rows fed in order, top row
// first, each whole row as blue-green-red bytes: a decoder that reads row by
// row needs no more than one row of the picture at a time, and stops after
// RowsNeeded() rows.
class TRowPlacer {
  public:
    TRowPlacer(const TPlacement& resolved, int width, int height, TBitmap& out);
    int RowsNeeded() const { return RowsNeeded_; }
    // The columns a row must hold for Feed: [FirstColumn, FirstColumn + Columns).
    int FirstColumn() const { return FirstColumn_; }
    int Columns() const { return Columns_; }
    // Row y of the picture; `bgr` holds its columns FirstColumn() onwards.
    void Feed(int y, const uint8_t* bgr);

  private:
    TPlacement P_;
    TBitmap& Out_;
    int RowsNeeded_ = 0, FirstColumn_ = 0, Columns_ = 0;
    std::vector<uint64_t> Sums_; // one band of block sums, three per shrunk pixel
};
