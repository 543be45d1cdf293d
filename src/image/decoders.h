// The decoders of the intake. Each reads the file at `path` and returns
// what lands on the grid under a placement (placement.h): by default the
// top-left min(width, 256) x min(height, 256) pixels; nothing else of the
// picture is kept. The picture's whole size goes to `size` when given;
// `placement`, when given, holds the placement asked for and receives it
// resolved. Failures throw TPictureError.
#pragma once

#include "bitmap.h"
#include "placement.h"

#include <string>

// Pictures whose decoding would need more memory than this are refused.
constexpr long long MaxDecodeBytes = 1LL << 30;

struct TPictureSize {
    int Width = 0;
    int Height = 0;
};

TBitmap DecodeJpeg(const std::string& path, TPictureSize* size = nullptr,
                   TPlacement* placement = nullptr);
TBitmap DecodeBmp(const std::string& path, TPictureSize* size = nullptr,
                  TPlacement* placement = nullptr);
TBitmap DecodePng(const std::string& path, TPictureSize* size = nullptr,
                  TPlacement* placement = nullptr);
TBitmap DecodeTiff(const std::string& path, TPictureSize* size = nullptr,
                   TPlacement* placement = nullptr);

// What lands on the grid from a whole decoded picture (the QtGui decoders),
// converted to blue-green-red (Format_BGR888) by `toBgr` a part or a band at a
// time, so that no second copy of the whole picture is made.
class QImage;
QImage PlainBgr(const QImage& region); // Qt's own conversion
// Any depth and kind reaches 16-bit red, green, blue and alpha exactly (an
// 8-bit value v becomes 257 v); from there each channel is composited over
// white and rounded to 8 bits, the nearest at each step.
QImage OverWhiteBgr(const QImage& region);
TBitmap PlaceImage(const QImage& whole, const TPlacement& resolved,
                   QImage (*toBgr)(const QImage& region) = PlainBgr);
