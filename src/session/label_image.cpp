#include "label_image.h"

#include "area_columns.h"
#include "export.h"

#include <algorithm>
#include <unordered_set>

QImage LabelImage(const TSession& s) {
    std::unordered_set<int32_t> kept;
    for (const TArea* a : KeptAreas(s.Areas)) {
        if (a->label > 65535)
            throw TExportError("Cannot make labels.png: label " + std::to_string(a->label) +
                               " does not fit its 16 bits.");
        kept.insert(a->label);
    }
    QImage image(256, 256, QImage::Format_Grayscale16);
    int32_t last = 0;
    bool lastKept = false;
    for (int y = 0; y < 256; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(image.scanLine(y));
        for (int x = 0; x < 256; ++x) {
            const int32_t label = s.Areas.LabelMap[y][x];
            // Runs of one label are the rule: look each up once.
            if (label != last) {
                last = label;
                lastKept = kept.count(label) > 0;
            }
            row[x] = lastKept && label > 0 ? uint16_t(label) : 0;
        }
    }
    return image;
}
