// Contour trace and eight-sector shape profile of one area record.
#pragma once

#include <cstdint>

// Measures, draws into ViewBitmap and keeps (enters into the partition tree)
// or releases Areas[i].
void MeasureArea(int32_t i);
