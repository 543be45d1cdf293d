// The preview of "Place on grid": the whole picture, decoded once through
// the intake's reader and size check, scaled down to fit a bound.
//
// Reads: the file at `path`. Writes: nothing; failures leave as
// TPictureError with the intake's messages.
#pragma once

#include "decoders.h"

#include <QImage>
#include <QSize>

#include <string>

// The whole picture at `path` (of `size` pixels, as the intake found it),
// scaled down to fit `bound` at scale Scale (at most 1; a picture smaller
// than the grid is scaled as if it were as large as the grid). Throws
// TPictureError when the file cannot be read now.
struct TPlacePreview {
    QImage Image;
    double Scale = 1;
};
TPlacePreview ReadPlacePreview(const std::string& path, TPictureSize size, QSize bound);
