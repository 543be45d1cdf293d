// The area probe under the pointer of the area view.
#pragma once

#include "../image/bitmap.h"
#include "area_tables.h"

#include <cstdint>

// Picks the area of the last pass nearest (x, y) and draws `view` anew with
// every area coloured by the likeness of its shape profile to the picked one.
// Returns false, drawing nothing, while a pass runs, with fewer than three
// records, or when every record was released.
bool ProbeArea(TAreaState& s, TBitmap& view, int32_t x, int32_t y);
