// Picture intake: decodes a picture file and draws what the placement takes
// of it (placement.h: the top-left corner, a part, or the whole shrunk) at
// the top-left corner of the 256 x 256 picture grid.
//
// Reads: the file at `path`. Writes: `picture` (256 x 256), only on success;
// pixels the new picture does not reach keep their colours. On any failure it
// throws TPictureError with a message naming the file and the cause.
#pragma once

#include "bitmap.h"
#include "decoders.h"

#include <string>

// Upper-cased text from the last '.' of the file name, "" when it has none.
std::string UpperExtension(const std::string& path);

// Returns the picture's whole size ({0, 0} for an empty path, which loads
// nothing). `placement`, when given, holds the placement asked for and
// receives it resolved.
TPictureSize LoadPicture(const std::string& path, TBitmap& picture,
                         TPlacement* placement = nullptr);
