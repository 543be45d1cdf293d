// What lands on the grid from a picture the QtGui readers decoded whole.
#include "decoders.h"

#include <QImage>

#include <algorithm>
#include <cstring>

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
