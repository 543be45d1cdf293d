#include "decoders.h"
#include "picture_error.h"
TBitmap DecodeBmp(const std::string& path) {
    throw TPictureError("BMP decoding is not built yet: " + path);
}
