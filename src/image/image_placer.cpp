// What lands on the grid from a picture the QtGui readers decoded whole.
#include "decoders.h"

#include <QImage>

#include <algorithm>
#include <cstring>

namespace {

// One 8-bit channel of a pixel composited over white, from 16-bit colour c
// and alpha a, rounded to the nearest at each step.
uint8_t OverWhite(uint32_t c, uint32_t a) {
    const uint64_t v = (uint64_t(c) * a + uint64_t(65535) * (65535 - a) + 32767) / 65535;
    return uint8_t((v * 255 + 32767) / 65535);
}

} // namespace

QImage OverWhiteBgr(const QImage& region) {
    const QImage wide = region.convertToFormat(QImage::Format_RGBA64);
    QImage out(wide.width(), wide.height(), QImage::Format_BGR888);
    for (int y = 0; y < wide.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgba64*>(wide.constScanLine(y));
        uint8_t* px = out.scanLine(y);
        for (int x = 0; x < wide.width(); ++x, px += 3) {
            const QRgba64 c = in[x];
            px[0] = OverWhite(c.blue(), c.alpha());
            px[1] = OverWhite(c.green(), c.alpha());
            px[2] = OverWhite(c.red(), c.alpha());
        }
    }
    return out;
}

QImage PlainBgr(const QImage& region) {
    return region.convertToFormat(QImage::Format_BGR888);
}

TBitmap PlaceImage(const QImage& whole, const TPlacement& p, QImage (*toBgr)(const QImage&)) {
    TBitmap out;
    const int w = whole.width(), h = whole.height();
    if (p.Kind != TPlacement::Fit) {
        const int columns = std::min(w, 256), rows = std::min(h, 256);
        const QImage part = toBgr(whole.copy(p.X, p.Y, columns, rows));
        CreateBitmap(out, columns, rows);
        for (int y = 0; y < rows; ++y)
            std::memcpy(out.Rows[size_t(y)], part.constScanLine(y), size_t(columns) * 3);
        return out;
    }
    // One band of k rows at a time through the row placer.
    TRowPlacer placer(p, w, h, out);
    for (int y0 = 0; y0 < placer.RowsNeeded(); y0 += p.K) {
        const QImage band = toBgr(whole.copy(0, y0, placer.Columns(), p.K));
        for (int i = 0; i < p.K; ++i) placer.Feed(y0 + i, band.constScanLine(i));
    }
    return out;
}
