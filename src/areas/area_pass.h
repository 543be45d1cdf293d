// The area analysis pass.
#pragma once

#include <cstdint>

// Runs one pass; `level` is the threshold 0..255, or -1 to choose it from the
// working plane's histogram.
void FindAreas(int32_t level);
