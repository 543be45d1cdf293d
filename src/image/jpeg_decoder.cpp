#include "decoders.h"
#include "picture_error.h"
TBitmap DecodeJpeg(const std::string& path) {
    throw TPictureError("JPEG decoding is not built yet: " + path);
}
