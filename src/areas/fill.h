// Line-stack region fill: grows one area from a seed over the working plane.
#pragma once

#include "area_tables.h"
#include "pass_observer.h"

#include <cstdint>

// Fills from (x0, y0) over pixels below Level whose LabelMap entry is `key`,
// into Areas[AreaCount]; true when the fill is a candidate area. With
// `paintSteps` every pixel taken is reported to the observer.
bool FillArea(TAreaState& s, int32_t x0, int32_t y0, int32_t key, TPassObserver& observer,
              bool paintSteps);
