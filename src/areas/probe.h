// The area probe under the pointer of PaintBox2.
#pragma once

#include <cstdint>

// Picks the area nearest (x, y) and redraws PaintBox2 with every area coloured
// by the likeness of its shape profile to the picked one.
void ProbeArea(int32_t x, int32_t y);
