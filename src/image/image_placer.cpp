// What lands on the grid from a picture the QtGui readers decoded whole.
#include "decoders.h"

#include <QImage>

#include <algorithm>
#include <cstring>

TBitmap PlaceImage(const QImage& whole, const TPlacement& p) {
    TBitmap out;
    const int w = whole.width(), h = whole.height();
    if (p.Kind != TPlacement::Fit) {
        const int columns = std::min(w, 256), rows = std::min(h, 256);
        const QImage part =
            whole.copy(p.X, p.Y, columns, rows).convertToFormat(QImage::Format_BGR888);
        CreateBitmap(out, columns, rows);
        for (int y = 0; y < rows; ++y)
            std::memcpy(out.Rows[size_t(y)], part.constScanLine(y), size_t(columns) * 3);
        return out;
    }
    // One band of k rows at a time through the row placer.
    TRowPlacer placer(p, w, h, out);
    for (int y0 = 0; y0 < placer.RowsNeeded(); y0 += p.K) {
        const QImage band =
            whole.copy(0, y0, placer.Columns(), p.K).convertToFormat(QImage::Format_BGR888);
        for (int i = 0; i < p.K; ++i) placer.Feed(y0 + i, band.constScanLine(i));
    }
    return out;
}
