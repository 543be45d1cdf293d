// The batch over 100 photo-sized pictures with the automatic pass and no
// plane pictures, at -j 1 and -j 2: pictures per second (and per worker) in
// one run. Two sizes: 4000 x 3000 JPEGs, as a camera makes them, and the
// usual 640 x 480. Beside it, the two costs per picture that the session's
// own benchmarks do not show: a fresh session, and the export's files.
#include "support/picture_files.h"

#include "batch.h"
#include "session/export.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int Pictures = 100;

// Photo-like content: smooth gradients with fine noise, different for each
// seed, at a common quality with 4:2:0 sampling.
std::vector<uint8_t> PhotoJpeg(int width, int height, uint32_t seed) {
    TPixels p = picture_files::SmoothPixels(width, height);
    for (uint8_t& v : p.Bytes) {
        seed = seed * 1664525u + 1013904223u;
        v = uint8_t(std::min(255, v + int(seed >> 28)));
    }
    TJpegOptions options;
    options.Quality = 85;
    return EncodeJpeg(p, options);
}

// Where the pictures and the batches' results go. A file system without a
// journal (ext4 here) looks at each inode deleted in the last minutes and
// skips it when it makes a file, so a run after many deletions measures the
// file system more than the batch. With TESSAVORIN_BENCH_DIR set, the
// pictures are made there once and used by every later run, and each run's
// results stay in a folder of its own (the caller removes them later, as a
// user keeps a batch's results). Otherwise all goes into a temporary folder
// removed when the program ends.
std::string BenchDir() {
    static picture_files::TTempDir temporary;
    const char* kept = std::getenv("TESSAVORIN_BENCH_DIR");
    return kept ? std::string(kept) : temporary.File("bench");
}

std::string RunDir() {
    static const std::string dir = BenchDir() + "/run-" + std::to_string(::getpid());
    return dir;
}

// A folder of 100 pictures of one size: four different pictures, 25 files
// each, made unless an earlier run left them complete.
const std::string& Folder(int width, int height) {
    static std::map<int, std::string> folders;
    std::string& folder = folders[width];
    if (folder.empty()) {
        folder = BenchDir() + "/pictures-" + std::to_string(width);
        fs::create_directories(folder);
        for (int k = 0; k < 4; ++k) {
            const std::vector<uint8_t> bytes = PhotoJpeg(width, height, 17u + uint32_t(k));
            for (int i = k; i < Pictures; i += 4) {
                const std::string path = folder + "/" + std::to_string(1000 + i) + ".jpg";
                std::error_code ec;
                if (fs::file_size(path, ec) != bytes.size()) SaveBytes(path, bytes);
            }
        }
    }
    return folder;
}

void BM_Batch(benchmark::State& state) {
    const int width = int(state.range(0)), height = width * 3 / 4;
    TBatchOptions o;
    o.Inputs = {Folder(width, height)};
    o.Jobs = int(state.range(1));
    // Each round into a folder of its own, kept until the end (see BenchDir).
    const std::string out =
        RunDir() + "/out-" + std::to_string(width) + "-j" + std::to_string(o.Jobs);
    static int round = 0; // counts on over repetitions: never an existing folder
    for (auto _ : state) {
        o.OutDir = out + "/" + std::to_string(round++);
        if (RunBatch(o, TProgressStyle::Quiet) != 0) state.SkipWithError("a picture failed");
    }
    const double done = double(Pictures) * double(state.iterations());
    state.counters["pictures/s"] = benchmark::Counter(done, benchmark::Counter::kIsRate);
    state.counters["per_worker"] =
        benchmark::Counter(done / double(o.Jobs), benchmark::Counter::kIsRate);
}

void BM_NewSession(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(NewSession());
}

// The export without plane pictures of one analysed photo.
void BM_ExportViews(benchmark::State& state) {
    const auto s = NewSession();
    LoadPicture(*s, Folder(640, 480) + "/1000.jpg");
    ComputePlanes(*s);
    TPassObserver quiet;
    FindAreas(*s, {}, quiet);
    TExportOptions o;
    o.Planes = false;
    const std::string out = RunDir() + "/export-";
    static int round = 0; // a new folder every time: no file replaced
    for (auto _ : state) ExportAnalysis(*s, out + std::to_string(round++), o);
}

} // namespace

BENCHMARK(BM_Batch)
    ->ArgNames({"width", "jobs"})
    ->Args({4000, 1})
    ->Args({4000, 2})
    ->Args({640, 1})
    ->Args({640, 2})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_NewSession)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExportViews)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
