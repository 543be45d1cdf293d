// Contour trace and eight-sector shape profile of one area record.
#pragma once

#include "../image/bitmap.h"
#include "../tree/partition_tree.h"
#include "area_tables.h"

#include <cstdint>

// Measures Areas[i] of `s`, draws its outline and profile star into `view`,
// and keeps it (enters it into `tree`) or releases it.
void MeasureArea(TAreaState& s, TPartitionTree& tree, TBitmap& view, int32_t i);

// The measuring half: traces the record `a` over the label map of `s` and
// sets its contour, contourHigh, shape and radiusSum; leaves the shade of
// each outline point in `scratch`. Reads nothing else and writes nothing else.
void TraceArea(const TAreaState& s, TArea& a, TOutlineScratch& scratch);

// Whether MeasureArea keeps the record `a` of `s`: its trace records at least
// three points. Reads the record and LabelMap only, and stops tracing as soon
// as the third point is recorded.
bool KeptByTrace(const TAreaState& s, const TArea& a);
