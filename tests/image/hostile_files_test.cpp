// Hostile picture files through LoadPicture: headers that lie about the file,
// JPEG streams with odd markers, and pictures of extreme shapes. Each gives
// either the right picture or an error naming the file and the cause, and a
// refused file leaves the grid byte for byte as it was.
#include "image/decoders.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "support/picture_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <sys/resource.h>

using namespace picture_files;

namespace {

// The whole marker segment of `kind` (from its 0xFF on), or none.
std::pair<size_t, size_t> JpegSegment(const std::vector<uint8_t>& jpeg, uint8_t kind) {
    const size_t at = FindJpegMarker(jpeg, kind);
    if (at == 0) return {0, 0};
    return {at, 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3])};
}

// Every Huffman table segment taken out.
std::vector<uint8_t> WithoutHuffmanTables(std::vector<uint8_t> jpeg) {
    for (auto [at, length] = JpegSegment(jpeg, 0xC4); at != 0;
         std::tie(at, length) = JpegSegment(jpeg, 0xC4))
        jpeg.erase(jpeg.begin() + long(at), jpeg.begin() + long(at + length));
    return jpeg;
}

// A restart interval of 65535 MCUs, put in front of the scan.
std::vector<uint8_t> WithRestartInterval(std::vector<uint8_t> jpeg) {
    const size_t scan = FindJpegMarker(jpeg, 0xDA);
    jpeg.insert(jpeg.begin() + long(scan), {0xFF, 0xDD, 0x00, 0x04, 0xFF, 0xFF});
    return jpeg;
}

// The scan's first component takes its tables from slot 3, which no segment
// defines.
std::vector<uint8_t> ScanWithUndefinedTable(std::vector<uint8_t> jpeg) {
    jpeg.at(FindJpegMarker(jpeg, 0xDA) + 6) = 0x33;
    return jpeg;
}

// The entropy-coded data cut a few bytes in, inside the first MCU, and the
// file properly ended there.
std::vector<uint8_t> ScanEndingMidMcu(std::vector<uint8_t> jpeg) {
    jpeg.resize(JpegScanStart(jpeg) + 5);
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

std::vector<uint8_t> BmpWith(std::vector<uint8_t> bmp, size_t at, uint32_t value) {
    SetLE(bmp, at, value);
    return bmp;
}

// A flat-coloured JPEG: whatever its shape, every pixel decodes within a
// level or two of the colour.
constexpr TRGB Flat{90, 160, 40};
std::vector<uint8_t> FlatJpeg(int width, int height) {
    TPixels p = MakePixels(width, height, 3);
    for (size_t i = 0; i < p.Bytes.size(); i += 3) {
        p.Bytes[i] = Flat.r;
        p.Bytes[i + 1] = Flat.g;
        p.Bytes[i + 2] = Flat.b;
    }
    TJpegOptions options;
    options.HSample = options.VSample = 1;
    return EncodeJpeg(p, options);
}

TBitmap PatternGrid() {
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            SetPixel(grid, x, y, {uint8_t(255 - x), uint8_t(255 - y), uint8_t(x ^ y)});
    return grid;
}

} // namespace

TEST(HostileFiles, RefusedWithTheFileAndTheCauseAndTheGridUntouched) {
    TTempDir dir;
    const std::vector<uint8_t> jpeg = PatternJpeg(64, 48);
    const std::vector<uint8_t> bmp8 = IndexedBmp(16, 8, 8, false);
    struct TCase {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* cause;
    };
    const TCase cases[] = {
        {"offset.bmp", BmpWith(PatternBmp24(16, 8), 10, 1u << 30), "the file ends early"},
        {"sevenbits.bmp",
         [] {
             std::vector<uint8_t> b = PatternBmp24(16, 8);
             b[28] = 7;
             return b;
         }(),
         "this kind of BMP picture is not supported, or its header is damaged (7 bits per pixel)"},
        {"colours.bmp", BmpWith(bmp8, 46, 0x40000000), "the picture data is damaged"},
        {"zeroheight.bmp", BmpWith(PatternBmp24(16, 8), 22, 0), "this kind of BMP picture is not"},
        {"undefined-table.jpg", ScanWithUndefinedTable(jpeg), "the picture data is damaged"},
        {"mid-mcu.jpg", ScanEndingMidMcu(jpeg), "the picture data ends before the picture is"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Save(c.name, c.bytes);
        TBitmap grid = PatternGrid();
        const std::vector<uint8_t> before = grid.Pixels;
        try {
            LoadPicture(path, grid);
            ADD_FAILURE() << "no error";
        } catch (const TPictureError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot read \"" + path + "\": ", 0), 0u) << message;
            EXPECT_NE(message.find(c.cause), std::string::npos) << message;
        }
        EXPECT_EQ(grid.Pixels, before) << "the grid changed";
    }
}

// Files that are odd but whole give exactly the picture they hold: the same
// corner as the plain file, or the pattern or colour they were written with.
TEST(HostileFiles, OddButWholeFilesGiveTheirPicture) {
    TTempDir dir;
    const std::vector<uint8_t> jpeg = PatternJpeg(64, 48);
    const TBitmap plain = DecodeJpeg(dir.Save("plain.jpg", jpeg));
    using TCheck = std::function<bool(const TBitmap&)>;
    const TCheck samePicture = [&](const TBitmap& b) { return b.Pixels == plain.Pixels; };
    const auto corner = [](int w, int h, std::function<bool(TRGB, int, int)> good) -> TCheck {
        return [=](const TBitmap& b) {
            if (b.Width != std::min(w, 256) || b.Height != std::min(h, 256)) return false;
            for (int y = 0; y < b.Height; ++y)
                for (int x = 0; x < b.Width; ++x)
                    if (!good(GetPixel(b, x, y), x, y)) return false;
            return true;
        };
    };
    const auto pattern = [](TRGB c, int x, int y) { return c == PatternColour(x, y); };
    const auto flat = [](TRGB c, int, int) {
        return std::abs(c.r - Flat.r) <= 2 && std::abs(c.g - Flat.g) <= 2 &&
               std::abs(c.b - Flat.b) <= 2;
    };
    struct TCase {
        const char* name;
        std::vector<uint8_t> bytes;
        TCheck expected;
    };
    const TCase cases[] = {
        {"restart.jpg", WithRestartInterval(jpeg), samePicture},
        // libjpeg brings the standard tables, the ones the writer used.
        {"no-tables.jpg", WithoutHuffmanTables(jpeg), samePicture},
        {"one.bmp", PatternBmp24(1, 1), corner(1, 1, pattern)},
        {"tall.bmp", PatternBmp24(1, 100000), corner(1, 100000, pattern)},
        {"wide.bmp", PatternBmp24(100000, 1), corner(100000, 1, pattern)},
        // JPEG sides are 16-bit, and libjpeg stops at 65500.
        {"one.jpg", FlatJpeg(1, 1), corner(1, 1, flat)},
        {"tall.jpg", FlatJpeg(1, 65500), corner(1, 65500, flat)},
        {"wide.jpg", FlatJpeg(65500, 1), corner(65500, 1, flat)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.Save(c.name, c.bytes);
        const TBitmap decoded = UpperExtension(path) == ".BMP" ? DecodeBmp(path) : DecodeJpeg(path);
        EXPECT_TRUE(c.expected(decoded));
        // On the grid its own corner changes and the rest stays.
        TBitmap grid = PatternGrid();
        const TBitmap before = PatternGrid();
        LoadPicture(path, grid);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const bool inside = x < decoded.Width && y < decoded.Height;
                ASSERT_EQ(GetPixel(grid, x, y),
                          inside ? GetPixel(decoded, x, y) : GetPixel(before, x, y))
                    << x << "," << y;
            }
    }
}

// Decodes `path` with the data segment allowed to grow by 256 MiB at most;
// the exit status says whether the 1 x 1 run-length picture came out right.
[[noreturn]] void DecodeWithDataCap(const std::string& path) {
    long dataKiB = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmData:", 0) == 0) dataKiB = std::stol(line.substr(7));
    const rlim_t limit = rlim_t(dataKiB + (256 << 10)) << 10;
    const rlimit cap{limit, limit};
    setrlimit(RLIMIT_DATA, &cap);
    const TBitmap b = DecodeBmp(path);
    std::exit(b.Width == 1 && b.Height == 1 && GetPixel(b, 0, 0) == RleColour(0, 0) ? 0 : 1);
}

// A run-length file whose picture ends within its first bytes but whose file
// goes on for 2 GiB (a sparse tail, no disk used): only what the picture
// needs is read, in a child whose data may not grow by the file's size.
TEST(HostileFiles, HugeRunLengthFileIsNotReadWhole) {
    TTempDir dir;
    const std::string path = dir.Save("tail.bmp", RleBmp(1, 1, 8));
    std::filesystem::resize_file(path, 2ull << 30);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(DecodeWithDataCap(path), ::testing::ExitedWithCode(0), "");
}
