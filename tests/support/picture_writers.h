// Small writers for JPEG and 24-bit BMP files, used by the sample generator,
// the intake tests and the intake benchmark to make their own pictures.
//
// Reads: pixel bytes given by the caller. Writes: the encoded file bytes in
// memory; SaveBytes puts them on disk. Leaves decoding to the intake.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

// Pixel bytes of one picture, rows top first, `Components` bytes per pixel:
// 1 grey, 3 red-green-blue, 4 as stored in a CMYK JPEG.
struct TPixels {
    int Width = 0;
    int Height = 0;
    int Components = 3;
    std::vector<uint8_t> Bytes;

    uint8_t* At(int x, int y) {
        return Bytes.data() + (size_t(y) * size_t(Width) + size_t(x)) * size_t(Components);
    }
    const uint8_t* At(int x, int y) const {
        return Bytes.data() + (size_t(y) * size_t(Width) + size_t(x)) * size_t(Components);
    }
};

inline TPixels MakePixels(int width, int height, int components) {
    TPixels p;
    p.Width = width;
    p.Height = height;
    p.Components = components;
    p.Bytes.assign(size_t(width) * size_t(height) * size_t(components), 0);
    return p;
}

struct TJpegOptions {
    int Quality = 90;
    bool Progressive = false;
    // Sampling factors of the first component; 2,2 is 4:2:0, 1,1 is 4:4:4.
    int HSample = 2;
    int VSample = 2;
    // For 4-component pixels: write the Adobe marker (values then go in
    // inverted, as Adobe applications store them).
    bool AdobeMarker = true;
};

namespace picture_writers_detail {
// The compressor reports errors through a C++ exception: the writers run on
// our own well-formed input, so an error here is a fault of the caller.
[[noreturn]] inline void ThrowJpegError(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    throw std::runtime_error(std::string("JPEG writer: ") + text);
}
} // namespace picture_writers_detail

inline std::vector<uint8_t> EncodeJpeg(const TPixels& pixels, const TJpegOptions& options = {}) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = picture_writers_detail::ThrowJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<uint8_t> out;
    try {
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = JDIMENSION(pixels.Width);
        cinfo.image_height = JDIMENSION(pixels.Height);
        cinfo.input_components = pixels.Components;
        cinfo.in_color_space = pixels.Components == 1   ? JCS_GRAYSCALE
                               : pixels.Components == 4 ? JCS_CMYK
                                                        : JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, options.Quality, TRUE);
        if (pixels.Components == 4) {
            jpeg_set_colorspace(&cinfo, JCS_CMYK); // turns the Adobe marker on
            cinfo.write_Adobe_marker = options.AdobeMarker ? TRUE : FALSE;
        }
        if (pixels.Components == 3) {
            cinfo.comp_info[0].h_samp_factor = options.HSample;
            cinfo.comp_info[0].v_samp_factor = options.VSample;
        }
        if (options.Progressive) jpeg_simple_progression(&cinfo);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(pixels.At(0, int(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        out.assign(buffer, buffer + size);
    } catch (...) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw;
    }
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

inline void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// The 14-byte file header and the 40-byte info header of a BMP file.
inline void PutBmpHeaders(std::vector<uint8_t>& out, int width, int height, int bits,
                          uint32_t compression, uint32_t paletteEntries, uint32_t dataSize) {
    const uint32_t offset = 14 + 40 + 4 * paletteEntries;
    out.push_back('B');
    out.push_back('M');
    PutLE(out, offset + dataSize, 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, uint32_t(width), 4);
    PutLE(out, uint32_t(height), 4); // negative: rows stored top first
    PutLE(out, 1, 2);
    PutLE(out, uint32_t(bits), 2);
    PutLE(out, compression, 4);
    PutLE(out, dataSize, 4);
    PutLE(out, 2835, 4); // 72 dots per inch
    PutLE(out, 2835, 4);
    PutLE(out, paletteEntries, 4);
    PutLE(out, 0, 4);
}

// A 24-bit uncompressed BMP of red-green-blue pixels, rows bottom first
// unless topDown.
inline std::vector<uint8_t> EncodeBmp24(const TPixels& pixels, bool topDown = false) {
    const int rowBytes = (pixels.Width * 3 + 3) & ~3;
    std::vector<uint8_t> out;
    PutBmpHeaders(out, pixels.Width, topDown ? -pixels.Height : pixels.Height, 24, 0, 0,
                  uint32_t(rowBytes) * uint32_t(pixels.Height));
    for (int i = 0; i < pixels.Height; ++i) {
        const int y = topDown ? i : pixels.Height - 1 - i;
        for (int x = 0; x < pixels.Width; ++x) {
            const uint8_t* p = pixels.At(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (int pad = pixels.Width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

inline void SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}
