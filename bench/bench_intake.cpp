// Picture intake: from a chosen file to its picture on the 256 x 256 grid.
//
// The pictures are made at start into a temporary folder: a 640 x 480 JPEG
// and BMP (the usual case, target 5 ms median) and a 6000 x 4000 baseline
// JPEG, whose intake must cost about its top 256 rows; a full decode of the
// same file runs beside it for comparison.
#include "support/picture_files.h"

#include "image/intake.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

namespace {

// Photo-like content: smooth gradients with fine noise, so the entropy
// coder has real work, at a common quality with 4:2:0 sampling.
TPixels PhotoLike(int width, int height) {
    TPixels p = picture_files::SmoothPixels(width, height);
    uint32_t seed = 12345;
    for (uint8_t& v : p.Bytes) {
        seed = seed * 1664525u + 1013904223u;
        v = uint8_t(std::min(255, v + int(seed >> 29)));
    }
    return p;
}

struct TBenchFiles {
    picture_files::TTempDir Dir;
    std::string Jpeg640, Bmp640, Jpeg6000, Jpeg4000;
    TBenchFiles() {
        TJpegOptions options;
        options.Quality = 85;
        Jpeg640 = Dir.Save("640x480.jpg", EncodeJpeg(PhotoLike(640, 480), options));
        Bmp640 = Dir.Save("640x480.bmp", EncodeBmp24(PhotoLike(640, 480)));
        Jpeg6000 = Dir.Save("6000x4000.jpg", EncodeJpeg(PhotoLike(6000, 4000), options));
        Jpeg4000 = Dir.Save("4000x3000.jpg", EncodeJpeg(PhotoLike(4000, 3000), options));
    }
};

const TBenchFiles& Files() {
    static const TBenchFiles files;
    return files;
}

void LoadOnto(benchmark::State& state, const std::string& path, const TPlacement& asked = {}) {
    TBitmap grid;
    CreateBitmap(grid, 256, 256);
    for (auto _ : state) {
        TPlacement placed = asked;
        LoadPicture(path, grid, &placed);
        benchmark::DoNotOptimize(grid.Pixels.data());
    }
}

void BM_LoadJpeg640x480(benchmark::State& state) {
    LoadOnto(state, Files().Jpeg640);
}
void BM_LoadBmp640x480(benchmark::State& state) {
    LoadOnto(state, Files().Bmp640);
}
void BM_LoadJpeg6000x4000(benchmark::State& state) {
    LoadOnto(state, Files().Jpeg6000);
}

// A phone photo shrunk to fit the grid (1/16): every row decoded and summed.
void BM_FitJpeg4000x3000(benchmark::State& state) {
    LoadOnto(state, Files().Jpeg4000, {TPlacement::Fit, 0, 0, 1});
}
// Its part at the middle: the rows down to the part's last.
void BM_PartJpeg4000x3000(benchmark::State& state) {
    LoadOnto(state, Files().Jpeg4000, {TPlacement::Part, 1872, 1372, 1});
}

// Every row of the 6000 x 4000 file through libjpeg with default settings:
// what the intake would cost if it did not stop after row 256.
void BM_FullDecodeJpeg6000x4000(benchmark::State& state) {
    const std::string& path = Files().Jpeg6000;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr err{};
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, file);
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        std::vector<JSAMPLE> row(size_t(cinfo.output_width) * size_t(cinfo.output_components));
        JSAMPROW rows[1] = {row.data()};
        while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        benchmark::DoNotOptimize(row.data());
    }
}

void Repeated(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_LoadJpeg640x480)->Apply(Repeated);
BENCHMARK(BM_LoadBmp640x480)->Apply(Repeated);
BENCHMARK(BM_LoadJpeg6000x4000)->Apply(Repeated);
BENCHMARK(BM_FitJpeg4000x3000)->Apply(Repeated);
BENCHMARK(BM_PartJpeg4000x3000)->Apply(Repeated);
BENCHMARK(BM_FullDecodeJpeg6000x4000)->Apply(Repeated)->Iterations(3);

BENCHMARK_MAIN();
