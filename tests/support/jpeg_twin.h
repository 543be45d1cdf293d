// The plain twin of the JPEG decoder: every row of a picture through libjpeg
// with its default settings, for the tests that compare a decoder's pixels.
#pragma once

#include "image/bitmap.h"
#include "support/picture_writers.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace picture_files {

[[noreturn]] inline void ThrowJpegError(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    throw std::runtime_error(text);
}

// The plain twin of the decoder: every row of the picture, default settings,
// colour components as libjpeg gives them (CMYK left as stored).
inline TPixels FullDecode(const std::vector<uint8_t>& jpeg) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = ThrowJpegError;
    jpeg_create_decompress(&cinfo);
    TPixels out;
    try {
        jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
        jpeg_read_header(&cinfo, TRUE);
        if (cinfo.jpeg_color_space == JCS_CMYK) cinfo.out_color_space = JCS_CMYK;
        jpeg_start_decompress(&cinfo);
        out =
            MakePixels(int(cinfo.output_width), int(cinfo.output_height), cinfo.output_components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = out.At(0, int(cinfo.output_scanline));
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
    } catch (...) {
        jpeg_destroy_decompress(&cinfo);
        throw;
    }
    jpeg_destroy_decompress(&cinfo);
    return out;
}

// The colour of a fully decoded pixel, grey spread to all three channels.
inline TRGB TwinColour(const TPixels& p, int x, int y) {
    const uint8_t* q = p.At(x, y);
    return p.Components == 1 ? TRGB{q[0], q[0], q[0]} : TRGB{q[0], q[1], q[2]};
}

} // namespace picture_files
