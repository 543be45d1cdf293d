// Contour trace and eight-sector shape profile of one area record.
#pragma once

#include "../image/bitmap.h"
#include "../tree/partition_tree.h"
#include "area_tables.h"

#include <cstdint>

// Measures Areas[i] of `s`, draws its outline and profile star into `view`,
// and keeps it (enters it into `tree`) or releases it.
void MeasureArea(TAreaState& s, TPartitionTree& tree, TBitmap& view, int32_t i);
