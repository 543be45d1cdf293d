// A peer for scale: OpenCV (one thread) on the same busy photo as the other
// benchmarks (the reference picture two/d1), timed in the same run as this
// program's own steps.
//
// - BM_OpenCvAreas: threshold, connectedComponentsWithStats and
//   findContours on this program's working plane (the brightness/noise mix)
//   at 68, against BM_FindAreasAt68, the area pass at 68 (93 areas, each
//   traced, profiled, drawn and entered into the tree).
// - BM_OpenCvPlanes: a twenty-plane set of OpenCV's own (channels, grey,
//   HSV, Lab, opponents, first and second derivatives, noise, spots, edges),
//   each stretched to 0..250, against BM_ComputePlanes at kernel levels 1
//   and 2 on the program's default workers.
// Built only when OpenCV is found; the program never uses it.
#include "image/compute_planes.h"
#include "image/planes_internal.h"
#include "session/session.h"
#include "support/reference_pictures.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <memory>
#include <string>
#include <vector>

namespace {

const TBitmap& Photo() {
    static const TBitmap photo = planes_test::LoadReferencePicture("two/d1");
    return photo;
}

// A session whose planes are the photo's.
TSession& Session() {
    static const std::unique_ptr<TSession> s = [] {
        auto made = NewSession();
        DrawBitmap(made->Grid, 0, 0, Photo());
        ComputePlanes(*made);
        PrepareSeedOrder(made->Planes, {}, made->Areas.Order);
        return made;
    }();
    return *s;
}

void BM_OpenCvAreas(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat plane(256, 256, CV_8U, Session().Areas.Order.Plane);
    cv::Mat below, labels, stats, centroids;
    std::vector<std::vector<cv::Point>> contours;
    int components = 0;
    for (auto _ : state) {
        cv::threshold(plane, below, 67, 255, cv::THRESH_BINARY_INV); // values below 68
        components = cv::connectedComponentsWithStats(below, labels, stats, centroids, 4, CV_32S);
        cv::findContours(below, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    }
    state.counters["components"] = components - 1;
    state.counters["contours"] = double(contours.size());
}

void BM_FindAreasAt68(benchmark::State& state) {
    TSession& s = Session();
    TPassOptions at68;
    at68.Threshold = 68;
    TPassObserver quiet;
    for (auto _ : state) FindAreas(s, at68, quiet);
    state.counters["areas"] = s.Areas.AreaCount + 1;
}

// Twenty planes of OpenCV's own from the photo, each stretched to 0..250.
void BM_OpenCvPlanes(benchmark::State& state) {
    cv::setNumThreads(1);
    const TBitmap& photo = Photo();
    const cv::Mat bgr(256, 256, CV_8UC3, const_cast<uint8_t*>(photo.Pixels.data()),
                      size_t(photo.Stride));
    std::vector<cv::Mat> planes(20);
    cv::Mat grey, hsv, lab, blurred, wide, narrow, d16, f32;
    std::vector<cv::Mat> parts;
    for (auto _ : state) {
        cv::split(bgr, parts); // 0..2: blue, green, red
        for (int c = 0; c < 3; ++c) planes[size_t(c)] = parts[size_t(c)];
        cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
        planes[3] = grey;
        cv::cvtColor(bgr, hsv, cv::COLOR_BGR2HSV);
        cv::split(hsv, parts); // 4..6
        for (int c = 0; c < 3; ++c) planes[size_t(4 + c)] = parts[size_t(c)].clone();
        cv::cvtColor(bgr, lab, cv::COLOR_BGR2Lab);
        cv::split(lab, parts); // 7..9
        for (int c = 0; c < 3; ++c) planes[size_t(7 + c)] = parts[size_t(c)].clone();
        cv::subtract(planes[2], planes[1], planes[10], cv::noArray(), CV_16S); // red - green
        cv::addWeighted(planes[2], -0.5, planes[1], -0.5, 0, f32, CV_32F);     // blue - yellow
        cv::add(f32, planes[0], planes[11], cv::noArray(), CV_32F);
        for (const auto& [dx, dy, p] : {std::tuple{1, 0, 12}, {0, 1, 13}, {2, 0, 14}, {0, 2, 15}})
            cv::Sobel(grey, planes[size_t(p)], CV_16S, dx, dy);
        cv::GaussianBlur(grey, blurred, cv::Size(3, 3), 0);
        cv::absdiff(grey, blurred, d16); // small noise, blurred
        cv::GaussianBlur(d16, planes[16], cv::Size(7, 7), 0);
        cv::blur(grey, wide, cv::Size(15, 15));
        cv::blur(grey, narrow, cv::Size(5, 5));
        cv::absdiff(wide, narrow, planes[17]); // spots
        cv::Laplacian(grey, planes[18], CV_16S);
        cv::morphologyEx(grey, planes[19], cv::MORPH_GRADIENT, cv::Mat()); // edges
        for (cv::Mat& p : planes) cv::normalize(p, p, 0, 250, cv::NORM_MINMAX, CV_8U);
        benchmark::ClobberMemory();
    }
}

void BM_ComputePlanes(benchmark::State& state) {
    TSession& s = Session();
    const int got = SelectPlaneKernels(s.Planes, int(state.range(0)));
    state.SetLabel("kernel level " + std::to_string(got) + ", " +
                   std::to_string(s.Workers.Count()) + " workers");
    for (auto _ : state) ComputePlanes(s);
    SelectPlaneKernels(s.Planes, 2);
}

} // namespace

#define PEER_BENCH(f)                                                                              \
    BENCHMARK(f)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true)
PEER_BENCH(BM_OpenCvAreas);
PEER_BENCH(BM_FindAreasAt68);
PEER_BENCH(BM_OpenCvPlanes);
PEER_BENCH(BM_ComputePlanes)->Arg(1)->Arg(2);

BENCHMARK_MAIN();
