// The plane view: ShowPlane draws one plane of level 0 into PaintBox1 (the
// area map through the Palette, the composite of planes 10, 0 and 1 at index
// 19, any other plane in grey through ToneTab) and lists OpCounters in
// ListBox2, resetting them.
#include "../image/plane_store.h"
#include "palette.h"
#include "uMain.h"

#include <QListWidget>

void TfrmMain::ShowPlane(uint8_t b) {
    if (b < PlaneCount) {
        for (int y = 0; y < 256; ++y) {
            uint8_t* out = ViewRows[y];
            if (b == aArH) {
                const uint8_t* p = Plane(aArH)[y];
                for (int x = 0; x < 256; ++x, out += 3) {
                    const TRGB c = Palette[p[x]];
                    out[0] = c.b;
                    out[1] = c.g;
                    out[2] = c.r;
                }
            } else if (b == aZ) {
                const uint8_t* p0 = Plane(aNo1)[y];
                const uint8_t* p1 = Plane(aNo2)[y];
                const uint8_t* p10 = Plane(aH)[y];
                for (int x = 0; x < 256; ++x, out += 3) {
                    out[0] = ToneTab[p1[x] + p0[x]];
                    out[1] = ToneTab[2 * p0[x]];
                    out[2] = ToneTab[p10[x] + p0[x]];
                }
            } else {
                const uint8_t* p = Plane(b)[y];
                for (int x = 0; x < 256; ++x, out += 3) out[0] = out[1] = out[2] = ToneTab[p[x]];
            }
        }
        DrawBitmap(PaintBox1Bitmap, 0, 0, ViewBitmap);
        PaintBox1->update();
        ShownPlane = b;
    }
    // ListBox2 keeps its nine lines; rewriting their texts is the cheap way of
    // clearing and refilling it.
    const QSignalBlocker block(ListBox2);
    while (ListBox2->count() > 9) delete ListBox2->takeItem(ListBox2->count() - 1);
    for (int k = 0; k < 9; ++k) {
        const QString line = QString::number(k) + " : " + QString::number(OpCounters[k]);
        if (k < ListBox2->count())
            ListBox2->item(k)->setText(line);
        else
            (new QListWidgetItem(line, ListBox2))->setSizeHint(QSize(0, 13));
        OpCounters[k] = 0;
    }
}
