#pragma once

#include "../image/bitmap.h"

extern const TRGB Palette[256];
