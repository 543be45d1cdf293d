#include "label_image.h"

#include "area_columns.h"
#include "export.h"

#include <algorithm>
#include <vector>

void WriteKeptLabels(const TSession& s, int32_t* out) {
    const std::vector<const TArea*> kept = KeptAreas(s.Areas);
    // One pass through a table of the labels kept, without a branch the
    // noisy map would mispredict (a label out of the table's range reads
    // entry 0, which is 0).
    int32_t top = 0;
    for (const TArea* a : kept) top = std::max(top, a->label);
    std::vector<int32_t> keep(size_t(top) + 1, 0);
    for (const TArea* a : kept)
        if (a->label > 0) keep[size_t(a->label)] = a->label;
    const int32_t* map = &s.Areas.LabelMap[0][0];
    for (size_t i = 0; i < 256 * 256; ++i) {
        const uint32_t label = uint32_t(map[i]);
        out[i] = keep[label <= uint32_t(top) ? label : 0];
    }
}

QImage LabelImage(const TSession& s) {
    for (const TArea* a : KeptAreas(s.Areas))
        if (a->label > 65535)
            throw TExportError("Cannot make labels.png: label " + std::to_string(a->label) +
                               " does not fit its 16 bits.");
    std::vector<int32_t> labels(256 * 256);
    WriteKeptLabels(s, labels.data());
    QImage image(256, 256, QImage::Format_Grayscale16);
    for (int y = 0; y < 256; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(image.scanLine(y));
        for (int x = 0; x < 256; ++x) row[x] = uint16_t(labels[size_t(y) * 256 + size_t(x)]);
    }
    return image;
}
