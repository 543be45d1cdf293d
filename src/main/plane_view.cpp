// The plane view: ShowPlane draws one plane of the session into PaintBox1
// (the drawing itself is the session's DrawPlane) and lists the counters in
// ListBox2, resetting them.
#include "bitmap_view.h"
#include "session/session.h"
#include "uMain.h"

#include <QListWidget>

void TfrmMain::ShowPlane(uint8_t b) {
    if (b < PlaneCount) {
        DrawPlane(*Session_, b);
        DrawBitmap(PaintBox1Bitmap_, 0, 0, Session_->View);
        PaintBox1->update();
        ShownPlane_ = b;
    }
    // ListBox2 keeps its nine lines; rewriting their texts is the cheap way of
    // clearing and refilling it.
    int64_t(&counters)[9] = Session_->Areas.OpCounters;
    const QSignalBlocker block(ListBox2);
    while (ListBox2->count() > 9) delete ListBox2->takeItem(ListBox2->count() - 1);
    for (int k = 0; k < 9; ++k) {
        const QString line = QString::number(k) + " : " + QString::number(counters[k]);
        if (k < ListBox2->count())
            ListBox2->item(k)->setText(line);
        else
            (new QListWidgetItem(line, ListBox2))->setSizeHint(QSize(0, 13));
        counters[k] = 0;
    }
    ViewsChanged();
}

// The 48 x 48, 8 x 8 and 1 x 1 reductions of a new picture, each drawn over
// the plane view's top-left corner, until the plane view is drawn again.
void TfrmMain::ShowReductions() {
    for (int l = 1; l < PlaneLevels; ++l)
        DrawBitmap(PaintBox1Bitmap_, 0, 0, Session_->Planes.Levels[l]);
    ShownPlane_ = -1;
    PaintBox1->update();
    ViewsChanged();
}
