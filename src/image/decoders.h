// The three decoders of the intake. Each reads the file at `path` and returns
// its top-left min(width, 256) x min(height, 256) pixels as a bitmap;
// nothing beyond that corner is kept. The picture's whole size goes to
// `size` when given. Failures throw TPictureError.
#pragma once

#include "bitmap.h"

#include <string>

// Pictures whose decoding would need more memory than this are refused.
constexpr long long MaxDecodeBytes = 1LL << 30;

struct TPictureSize {
    int Width = 0;
    int Height = 0;
};

TBitmap DecodeJpeg(const std::string& path, TPictureSize* size = nullptr);
TBitmap DecodeBmp(const std::string& path, TPictureSize* size = nullptr);
TBitmap DecodePng(const std::string& path, TPictureSize* size = nullptr);
