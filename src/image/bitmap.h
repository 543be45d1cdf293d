// 24-bit off-screen bitmaps: the least drawing surface the system needs.
//
// Reads/writes: only the bitmap passed in. Pixels are three bytes blue, green,
// red; row 0 is the top row; the row table is captured once at creation and
// never moves, so callers may keep row addresses for the life of the bitmap.
#pragma once

#include <cstdint>
#include <vector>

// A colour as (red, green, blue).
struct TRGB {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(TRGB, TRGB) = default;
};

struct TBitmap {
    int Width = 0;
    int Height = 0;
    int Stride = 0; // bytes per row, a multiple of 4
    std::vector<uint8_t> Pixels;
    std::vector<uint8_t*> Rows;
    TRGB Pen;     // colour of LineTo
    int PenX = 0; // current position of MoveTo / LineTo
    int PenY = 0;

    TBitmap() = default;
    TBitmap(const TBitmap&) = delete; // a copy would keep the other bitmap's row table
    TBitmap& operator=(const TBitmap&) = delete;
    TBitmap(TBitmap&&) = default;
    TBitmap& operator=(TBitmap&&) = default;
};

// Allocates the pixel memory and the row table, filled with one colour.
void CreateBitmap(TBitmap& bmp, int width, int height, TRGB fill = {255, 255, 255});

// Sets one pixel; a position outside the bitmap is skipped.
void SetPixel(TBitmap& bmp, int x, int y, TRGB colour);
TRGB GetPixel(const TBitmap& bmp, int x, int y);

void FillBitmap(TBitmap& bmp, TRGB colour);

// Line drawing with the integer Bresenham walk; the end point is never painted
// and pixels outside the bitmap are skipped. LineTo leaves the pen at the end.
void MoveTo(TBitmap& bmp, int x, int y);
void LineTo(TBitmap& bmp, int x, int y);

// Draws src with its top-left corner at (x, y) of dst, at its own size, clipped.
void DrawBitmap(TBitmap& dst, int x, int y, const TBitmap& src);

// Area-averaging reduction of all of src onto all of dst: every destination
// pixel is the mean of the source pixels its footprint covers, each weighted by
// the fraction of it that lies inside the footprint.
void HalftoneReduce(const TBitmap& src, TBitmap& dst);
