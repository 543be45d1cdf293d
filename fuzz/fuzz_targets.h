// What each fuzz harness does with one input, and what it must find true.
// The harnesses abort on a broken promise; tests/fuzz replays the inputs the
// harnesses once failed on through these same functions. Each returns "" when
// every promise held, else what was broken.
//
// Reads: the input bytes. Writes: a scratch file and the harness's session,
// as the program's own handlers would.
#pragma once

#include "fuzz_support.h"

#include "image/decoders.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "scenario.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace fuzz {

// A decoded corner is 1..256 pixels each way and the corner of the whole
// size reported; so is a part in the middle, and a shrunk picture has the
// size its factor gives. A refusal names the file.
inline std::string CheckDecode(TBitmap (*decode)(const std::string&, TPictureSize*, TPlacement*),
                               const std::string& path) {
    try {
        TPictureSize size;
        const TBitmap corner = decode(path, &size, nullptr);
        const auto expect = [&](const TBitmap& got, int w, int h, const char* what) {
            if (got.Width == w && got.Height == h) return std::string();
            return std::string(what) + " of " + std::to_string(got.Width) + " x " +
                   std::to_string(got.Height) + " from a picture of " + std::to_string(size.Width) +
                   " x " + std::to_string(size.Height);
        };
        std::string broken =
            expect(corner, std::min(size.Width, 256), std::min(size.Height, 256), "corner");
        if (!broken.empty() || size.Width < 1 || size.Height < 1) return broken + " (size)";
        TPlacement part{TPlacement::Part, size.Width / 2, size.Height / 2, 1};
        broken = expect(decode(path, nullptr, &part), std::min(size.Width, 256),
                        std::min(size.Height, 256), "part");
        if (!broken.empty()) return broken;
        // Shrinking decodes every row: only pictures of up to 4 Mpixels, so
        // that a huge claimed size does not take the harness's time.
        if (double(size.Width) * size.Height > 4e6) return "";
        TPlacement fit{TPlacement::Fit, 0, 0, 1};
        const TBitmap shrunk = decode(path, nullptr, &fit);
        const int w = size.Width / fit.K, h = size.Height / fit.K;
        return expect(shrunk, w > 0 && h > 0 ? w : 0, w > 0 && h > 0 ? h : 0, "shrunk picture");
    } catch (const TPictureError& e) {
        if (std::strstr(e.what(), path.c_str()) == nullptr)
            return std::string("message without the file name: ") + e.what();
    }
    return "";
}

inline std::string FuzzJpeg(const uint8_t* data, size_t size) {
    return CheckDecode(DecodeJpeg, WriteScratch(data, size, ".jpg"));
}

inline std::string FuzzBmp(const uint8_t* data, size_t size) {
    return CheckDecode(DecodeBmp, WriteScratch(data, size, ".bmp"));
}

inline std::string FuzzPng(const uint8_t* data, size_t size) {
    return CheckDecode(DecodePng, WriteScratch(data, size, ".png"));
}

inline std::string FuzzTiff(const uint8_t* data, size_t size) {
    return CheckDecode(DecodeTiff, WriteScratch(data, size, ".tif"));
}

// The road of one picture: intake onto a white grid, every plane, the area
// pass with its automatic threshold. Byte 0 picks the file's name by its rest
// after division by 4 (0 .jpg, 1 .bmp, 2 .png, 3 .tif), the rest is the file,
// whose content chooses the decoder. A refused
// picture must leave the grid untouched.
inline std::string FuzzIntakePass(const uint8_t* data, size_t size) {
    if (size < 1) return "";
    const char* const extensions[4] = {".jpg", ".bmp", ".png", ".tif"};
    const std::string path = WriteScratch(data + 1, size - 1, extensions[data[0] % 4]);
    TBitmap grid;
    CreateBitmap(grid, 256, 256, {255, 255, 255});
    try {
        LoadPicture(path, grid);
    } catch (const TPictureError&) {
        for (uint8_t byte : grid.Pixels)
            if (byte != 255) return "a refused picture changed the grid";
        return "";
    }
    TSession& s = ResetInput();
    DrawBitmap(s.Grid, 0, 0, grid);
    TPassObserver quiet;
    ComputePlanes(s);
    FindAreas(s, {}, quiet);
    if (s.Areas.AreaCount < -1 || s.Areas.AreaCount > MaxAreaIndex) return "AreaCount out of range";
    return "";
}

// The area analysis on an adversarial plane, analysed "by plane" as the
// window does with ByPriznak checked. Byte 0 is the threshold (0 automatic,
// else byte - 1), bytes 1 and 2 a probe position; the rest, repeated, fills
// the analysed plane row by row, so short inputs make stripes and tiles.
inline std::string FuzzPlanePass(const uint8_t* data, size_t size) {
    if (size < 4) return "";
    TSession& s = ResetInput();
    constexpr int Analysed = 7;
    const int level = data[0] == 0 ? -1 : data[0] - 1;
    const uint8_t* body = data + 3;
    const size_t n = size - 3;
    uint8_t* plane = &s.Planes[Analysed][0][0];
    for (size_t i = 0; i < 256 * 256; ++i) plane[i] = body[i % n];

    TPassOptions options;
    options.Threshold = level;
    options.ByPlane = true;
    options.Plane = Analysed;
    TPassObserver quiet;
    FindAreas(s, options, quiet);
    const TAreaState& a = s.Areas;
    std::string broken;
    if (a.AreaCount < -1 || a.AreaCount > MaxAreaIndex) broken = "AreaCount out of range";
    for (int32_t i = 0; broken.empty() && i <= a.AreaCount; ++i)
        if (a.Areas[i] && a.Areas[i]->contourHigh < 2) broken = "a kept area has no outline";
    ProbeArea(s, data[1], data[2]);
    return broken;
}

// Any text gives well-formed actions for the lines before the first
// malformed one, each value within its range, or an error naming the file.
inline std::string FuzzScenario(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TScenario sc = ParseScenario(text, "fuzz.scenario", "/base");
    int lastLine = 0;
    for (const TAction& a : sc.actions) {
        if (a.line <= lastLine) return "line numbers do not rise";
        lastLine = a.line;
        bool ok = true;
        switch (a.kind) {
        case TActionKind::Select:
            ok = a.a >= 0 && a.a <= 19;
            break;
        case TActionKind::ScrollBar1:
        case TActionKind::ScrollBar2:
            ok = a.a >= 0 && a.a <= 255;
            break;
        case TActionKind::Move:
        case TActionKind::Press:
            ok = a.a >= 0 && a.a <= 255 && a.b >= 0 && a.b <= 255;
            break;
        case TActionKind::Load:
        case TActionKind::Dump:
            ok = !a.path.empty();
            break;
        case TActionKind::Place:
            ok = (a.word == "topleft" || a.word == "part" || a.word == "fit") && a.a >= 0 &&
                 a.b >= 0;
            break;
        default:
            break;
        }
        if (!ok) return "action of line " + std::to_string(a.line) + " out of range";
    }
    if (!sc.error.empty() && sc.error.rfind("fuzz.scenario:", 0) != 0)
        return "error without the file name: " + sc.error;
    return "";
}

} // namespace fuzz
