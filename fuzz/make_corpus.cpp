// Writes the synthetic part of the fuzz seed corpora: small pictures of every
// kind the decoders read, and working planes that stress the area analysis.
// scripts/make-fuzz-corpus adds the sample pictures and the scenarios.
//
//     make_corpus OUT_DIR    (writes OUT_DIR/jpeg, bmp, png, tiff, intake, plane)
#include "support/picture_files.h"
#include "support/png_files.h"
#include "support/tiff_files.h"

#include <QImage>

#include <filesystem>
#include <iostream>

using namespace picture_files;

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Restarted(const TPixels& p, bool arithmetic) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(p.Width);
    cinfo.image_height = JDIMENSION(p.Height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    cinfo.restart_interval = 1;
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(p.At(0, int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

// An OS/2 bitmap: 12-byte core header with 16-bit sizes, 24 bits per pixel.
std::vector<uint8_t> CoreBmp(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> out = {'B', 'M'};
    PutLE(out, uint32_t(26 + rowBytes * height), 4);
    PutLE(out, 0, 4);
    PutLE(out, 26, 4);
    PutLE(out, 12, 4);
    PutLE(out, uint32_t(width), 2);
    PutLE(out, uint32_t(height), 2);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const TRGB c = PatternColour(x, y);
            out.insert(out.end(), {c.b, c.g, c.r});
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

// Small PNG files of every colour type and depth QtGui writes: colour, with
// alpha, palette (with and without alpha), grey, 16-bit grey and colour, one
// bit per pixel; and an interlaced one.
std::vector<std::pair<std::string, std::vector<uint8_t>>> PngSeeds() {
    const int w = 13, h = 9;
    std::vector<std::pair<std::string, QImage>> images = {
        {"rgb8", QImage(w, h, QImage::Format_RGB32)},
        {"rgba8", QImage(w, h, QImage::Format_ARGB32)},
        {"palette", QImage(w, h, QImage::Format_Indexed8)},
        {"palette-alpha", QImage(w, h, QImage::Format_Indexed8)},
        {"grey8", QImage(w, h, QImage::Format_Grayscale8)},
        {"grey16", QImage(w, h, QImage::Format_Grayscale16)},
        {"rgba16", QImage(w, h, QImage::Format_RGBA64)},
        {"mono", QImage(w, h, QImage::Format_Mono)},
    };
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (auto& [name, image] : images) {
        if (image.format() == QImage::Format_Indexed8)
            for (int i = 0; i < 16; ++i)
                image.setColorTable(image.colorTable() << qRgba(i * 15, 255 - i * 9, i * 7,
                                                                name == "palette" ? 255 : i * 17));
        if (image.format() == QImage::Format_Mono)
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TRGB c = PatternColour(x, y);
                if (image.format() == QImage::Format_Indexed8 ||
                    image.format() == QImage::Format_Mono)
                    image.setPixel(x, y, uint((x + y) % image.colorCount()));
                else
                    image.setPixelColor(x, y, QColor(c.r, c.g, c.b, (x * 20) % 256));
            }
        out.push_back({name, png_files::EncodePng(image)});
    }
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 3 * 10 * 7; ++i) rgb.push_back(uint8_t(i * 37));
    out.push_back({"interlaced", png_files::EncodeRgbPng(10, 7, rgb, true)});
    return out;
}

// Small TIFF files of the kinds QtGui writes, plain and LZW-compressed:
// colour, with alpha, grey of 8 and 16 bits, 16-bit colour, palette, one bit.
std::vector<std::pair<std::string, std::vector<uint8_t>>> TiffSeeds() {
    const std::pair<const char*, QImage::Format> kinds[] = {
        {"rgb8", QImage::Format_RGB32},       {"rgba8", QImage::Format_ARGB32},
        {"grey8", QImage::Format_Grayscale8}, {"grey16", QImage::Format_Grayscale16},
        {"rgba16", QImage::Format_RGBA64},    {"mono", QImage::Format_Mono},
        {"palette", QImage::Format_Indexed8},
    };
    std::vector<std::pair<std::string, std::vector<uint8_t>>> out;
    for (const auto& [name, format] : kinds) {
        QImage image = tiff_files::Pattern(11, 7, QImage::Format_ARGB32, [](int x, int y) {
            const TRGB c = PatternColour(x, y);
            return QColor(c.r, c.g, c.b, (x * 20) % 256);
        });
        image = image.convertToFormat(format);
        out.push_back({name, tiff_files::EncodeTiff(image)});
        out.push_back({name + std::string("-lzw"), tiff_files::EncodeTiff(image, true)});
    }
    return out;
}

// A working plane for the plane harness: threshold byte, probe position,
// then 256 x 256 values.
std::vector<uint8_t> PlaneSeed(uint8_t threshold, uint8_t (*value)(int x, int y)) {
    std::vector<uint8_t> out = {threshold, 128, 128};
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) out.push_back(value(x, y));
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_corpus OUT_DIR\n";
        return 2;
    }
    const fs::path out = argv[1];
    for (const char* sub : {"jpeg", "bmp", "png", "tiff", "intake", "plane"})
        fs::create_directories(out / sub);
    const auto save = [&](const char* sub, const std::string& name,
                          const std::vector<uint8_t>& bytes) {
        SaveBytes((out / sub / name).string(), bytes);
        // The intake harness takes a name byte first (0 .jpg, 1 .bmp, 2 .png, 3 .tif).
        const std::string kind = sub;
        std::vector<uint8_t> tagged = {uint8_t(kind == "bmp"    ? 1
                                               : kind == "png"  ? 2
                                               : kind == "tiff" ? 3
                                                                : 0)};
        tagged.insert(tagged.end(), bytes.begin(), bytes.end());
        SaveBytes((out / "intake" / (std::string(sub) + "-" + name)).string(), tagged);
    };

    TJpegOptions o;
    o.Quality = 75;
    save("jpeg", "baseline420", EncodeJpeg(SmoothPixels(33, 17), o));
    o.HSample = o.VSample = 1;
    save("jpeg", "baseline444", EncodeJpeg(SmoothPixels(16, 16), o));
    o.HSample = 2;
    save("jpeg", "baseline422", EncodeJpeg(SmoothPixels(9, 24), o));
    o.Progressive = true;
    save("jpeg", "progressive", EncodeJpeg(SmoothPixels(40, 24), o));
    save("jpeg", "progressive-grey", EncodeJpeg(SmoothPixels(24, 24, 1), o));
    o.Progressive = false;
    save("jpeg", "grey", EncodeJpeg(SmoothPixels(1, 1, 1), o));
    save("jpeg", "cmyk-adobe", EncodeJpeg(SmoothPixels(16, 8, 4), o));
    o.AdobeMarker = false;
    save("jpeg", "cmyk-plain", EncodeJpeg(SmoothPixels(8, 16, 4), o));
    save("jpeg", "restarts", Restarted(SmoothPixels(24, 16), false));
    save("jpeg", "arithmetic", Restarted(SmoothPixels(16, 24), true));

    save("bmp", "rgb24", PatternBmp24(13, 7));
    save("bmp", "rgb24-topdown", PatternBmp24(7, 5, true));
    save("bmp", "one-pixel", PatternBmp24(1, 1));
    for (int bits : {1, 4, 8})
        save("bmp", "indexed" + std::to_string(bits), IndexedBmp(11, 6, bits, false));
    save("bmp", "indexed8-topdown", IndexedBmp(6, 11, 8, true));
    save("bmp", "rle8", RleBmp(21, 9, 8));
    save("bmp", "rle4", RleBmp(21, 9, 4));
    save("bmp", "rgb555", Bmp16(9, 5, false, false));
    save("bmp", "rgb565", Bmp16(5, 9, true, true));
    save("bmp", "rgb32", Bmp32(6, 6, false, 0x80));
    save("bmp", "core", CoreBmp(10, 3));
    for (const auto& [name, bytes] : PngSeeds()) {
        save("png", name, bytes);
        // Cut inside the picture data, so the decoder meets a file that ends early.
        save("png", name + ".cut", {bytes.begin(), bytes.begin() + long(bytes.size() * 2 / 3)});
    }

    for (const auto& [name, bytes] : TiffSeeds()) {
        save("tiff", name, bytes);
        save("tiff", name + ".cut", {bytes.begin(), bytes.begin() + long(bytes.size() * 2 / 3)});
    }

    const auto plane = [&](const char* name, uint8_t threshold, uint8_t (*value)(int, int)) {
        SaveBytes((out / "plane" / name).string(), PlaneSeed(threshold, value));
    };
    plane("zero", 0, [](int, int) -> uint8_t { return 0; });
    plane("all254", 0, [](int, int) -> uint8_t { return 254; });
    plane("checker", 0, [](int x, int y) -> uint8_t { return (x + y) % 2 ? 255 : 1; });
    plane("blocks", 101,
          [](int x, int y) -> uint8_t { return ((x - 1) / 4 + (y - 1) / 4) % 2 ? 200 : 10; });
    plane("comb", 101,
          [](int x, int y) -> uint8_t { return y == 1 || y == 129 || (x % 2 && y > 1) ? 5 : 255; });
    plane("gradient", 0, [](int x, int y) -> uint8_t { return uint8_t((x * 3 + y * 5) % 251); });
    plane("rings", 0, [](int x, int y) -> uint8_t {
        const int dx = x - 128, dy = y - 128;
        return uint8_t((dx * dx + dy * dy) / 40 % 200);
    });
    return 0;
}
