#include "pixel_intake.h"

#include <vector>

TPictureSize PlacePixels(const TRgbPixels& pixels, TBitmap& picture, TPlacement* placement) {
    const int w = pixels.Width, h = pixels.Height;
    const TPlacement resolved = ResolvePlacement(placement ? *placement : TPlacement{}, w, h);
    if (placement) *placement = resolved;
    TBitmap placed;
    TRowPlacer placer(resolved, w, h, placed);
    // The placer takes blue-green-red rows, as the decoders give them: each
    // row's needed columns are turned around into one row buffer.
    std::vector<uint8_t> row(size_t(placer.Columns()) * 3);
    for (int y = 0; y < placer.RowsNeeded(); ++y) {
        const uint8_t* rgb = pixels.Data + y * pixels.RowStride + placer.FirstColumn() * 3;
        for (size_t i = 0; i < row.size(); i += 3) {
            row[i] = rgb[i + 2];
            row[i + 1] = rgb[i + 1];
            row[i + 2] = rgb[i];
        }
        placer.Feed(y, row.data());
    }
    if (placed.Width > 0) DrawBitmap(picture, 0, 0, placed); // a shrink may leave nothing
    return {w, h};
}
