#include "placement.h"

#include <algorithm>

TPlacement ResolvePlacement(const TPlacement& asked, int width, int height) {
    TPlacement p = asked;
    p.X = p.Y = 0;
    p.K = 1;
    if (p.Kind == TPlacement::Part) {
        p.X = std::clamp(asked.X, 0, std::max(0, width - 256));
        p.Y = std::clamp(asked.Y, 0, std::max(0, height - 256));
    } else if (p.Kind == TPlacement::Fit) {
        // ceil(n / k) <= 256 holds exactly when k >= ceil(n / 256).
        const auto need = [](int n) { return std::max(1, (n + 255) / 256); };
        p.K = std::max(need(width), need(height));
    }
    return p;
}

int PlacedWidth(const TPlacement& p, int width) {
    return p.Kind == TPlacement::Fit ? width / p.K : std::min(width, 256);
}

int PlacedHeight(const TPlacement& p, int height) {
    return p.Kind == TPlacement::Fit ? height / p.K : std::min(height, 256);
}

std::string PlacementText(const TPlacement& p, TPlacementForm form) {
    const std::string x = std::to_string(p.X), y = std::to_string(p.Y), k = std::to_string(p.K);
    switch (form) {
    case TPlacementForm::Title:
        return p.Kind == TPlacement::Part  ? "part at " + x + "," + y
               : p.Kind == TPlacement::Fit ? "shrunk 1/" + k
                                           : "top-left";
    case TPlacementForm::Column:
        return p.Kind == TPlacement::Part  ? "part " + x + " " + y
               : p.Kind == TPlacement::Fit ? "fit " + k
                                           : "top-left";
    case TPlacementForm::Json:
        return p.Kind == TPlacement::Part
                   ? "{\"kind\": \"part\", \"x\": " + x + ", \"y\": " + y + "}"
               : p.Kind == TPlacement::Fit ? "{\"kind\": \"fit\", \"k\": " + k + "}"
                                           : "{\"kind\": \"top-left\"}";
    case TPlacementForm::Asked:
        break;
    }
    return p.Kind == TPlacement::Part  ? "part at " + x + "," + y
           : p.Kind == TPlacement::Fit ? "fit"
                                       : "";
}

TRowPlacer::TRowPlacer(const TPlacement& p, int width, int height, TBitmap& out)
    : P_(p), Out_(out) {
    const int w = PlacedWidth(p, width), h = PlacedHeight(p, height);
    if (w > 0 && h > 0) CreateBitmap(out, w, h);
    if (w <= 0 || h <= 0) return; // nothing lands: no row is needed
    if (p.Kind == TPlacement::Fit) {
        RowsNeeded_ = h * p.K;
        Columns_ = w * p.K;
        Sums_.assign(size_t(w) * 3, 0);
    } else {
        RowsNeeded_ = p.Y + h;
        FirstColumn_ = p.X;
        Columns_ = w;
    }
}

void TRowPlacer::Feed(int y, const uint8_t* bgr) {
    if (P_.Kind != TPlacement::Fit) {
        if (y >= P_.Y) std::copy(bgr, bgr + 3 * Columns_, Out_.Rows[size_t(y - P_.Y)]);
        return;
    }
    const int k = P_.K, w = Out_.Width;
    for (int bx = 0; bx < w; ++bx) {
        const uint8_t* p = bgr + 3 * bx * k;
        uint64_t* s = &Sums_[size_t(3 * bx)];
        for (int i = 0; i < k; ++i, p += 3) {
            s[0] += p[0];
            s[1] += p[1];
            s[2] += p[2];
        }
    }
    if (y % k != k - 1) return; // the band of blocks is not complete yet
    const uint64_t area = uint64_t(k) * uint64_t(k);
    uint8_t* row = Out_.Rows[size_t(y / k)];
    for (size_t i = 0; i < Sums_.size(); ++i) row[i] = uint8_t((Sums_[i] + area / 2) / area);
    std::fill(Sums_.begin(), Sums_.end(), 0);
}
