// Picture intake from memory: pixels a caller already holds (an array of
// another program, a picture it made) land on the grid under a placement
// exactly as the pixels of a decoded file do, through the same row placer.
//
// Reads: the caller's pixels. Writes: `picture` (256 x 256); pixels the new
// picture does not reach keep their colours. Throws nothing of its own.
#pragma once

#include "bitmap.h"
#include "decoders.h"

#include <cstddef>
#include <cstdint>

// A picture as rows of red-green-blue bytes, top row first; a row holds
// Width * 3 bytes and starts RowStride bytes after the one above it.
struct TRgbPixels {
    const uint8_t* Data = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t RowStride = 0;
};

// Draws what lands from `pixels` at the grid's top-left corner and returns
// the picture's whole size. `placement`, when given, holds the placement
// asked for and receives it resolved, as LoadPicture's does.
TPictureSize PlacePixels(const TRgbPixels& pixels, TBitmap& picture,
                         TPlacement* placement = nullptr);
