// The area probe under the pointer of the area view.
#pragma once

#include "../image/bitmap.h"
#include "area_tables.h"

#include <cstdint>

// Picks the area of the last pass nearest (x, y) and draws `view` anew with
// every area coloured by the likeness of its shape profile to the picked one.
// Returns false, drawing nothing, while a pass runs, with fewer than three
// records, or when every record was released.
// Records the pick and the differences in s.ProbePick and s.Likeness.
bool ProbeArea(TAreaState& s, TBitmap& view, int32_t x, int32_t y);

// The colour byte a difference is drawn in, given the smallest and largest
// differences met: 255 for the smallest (most alike), 0 for the largest.
uint8_t LikenessColour(float diff, float lo, float hi);
