// The controls of the window: made, placed and named as in the layout.
#include "bitmap_view.h"
#include "session/session.h"
#include "uMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

namespace {

const char* const PlaneNames[20] = {"aNo1,",          "aNo2,", "aNo3,",
                                    "aArH,",          "aArV,", "aArL,",
                                    "aArR,",          "aR,",   "aG,",
                                    "aB,           ", "aH,",   "aT,",
                                    "aV,           ", "aGr,",  "aGrD,           ",
                                    "aGV,",           "aGVV,", "aGH,",
                                    "aGHH,",          "aZ"};

// Where the plane view's brightness offset starts.
constexpr int InitialToneOffset = 100;

template <typename T> T* Named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QListWidget* MakeList(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* list = Named(new QListWidget(parent), name);
    list->setGeometry(x, y, w, h);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setTextElideMode(Qt::ElideNone); // long entries are cut, not shortened with dots
    return list;
}

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, int x, int y, int w, int h,
                          int pageStep, int value) {
    auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), name);
    bar->setGeometry(x, y, w, h);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setValue(value);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false); // the Right key and the wheel move it right, to higher values
    return bar;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* box = Named(new QCheckBox(caption, parent), name);
    box->setGeometry(x, y, 97, 17);
    return box;
}

} // namespace

void TfrmMain::CreateControls() {
    setWindowTitle("Tessavorin");
    // Outer size 717 x 575 at (33, 5). Until the frame is known the client
    // area is that of a 4-pixel frame and a 23-pixel caption; showEvent then
    // fits the client area to the real frame.
    resize(709, 548);
    move(33, 5);
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    if (!QFontInfo(font).exactMatch()) {
        font = QApplication::font();
        font.setPixelSize(11);
    }
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    CreateBitmap(PaintBox1Bitmap_, 257, 257, ButtonFace());
    CreateBitmap(PaintBox2Bitmap_, 256, 256, ButtonFace());

    // Controls in the keyboard focus order.
    FileListBox1 = MakeList(this, "FileListBox1", 0, 0, 97, 521);
    ListBox1 = MakeList(this, "ListBox1", 98, 0, 89, 257);
    for (const char* name : PlaneNames)
        (new QListWidgetItem(name, ListBox1))->setSizeHint(QSize(0, 13));
    ScrollBar1 = MakeScrollBar(this, "ScrollBar1", 448, 264, 257, 16, 1, InitialToneOffset);
    ScrollBar2 = MakeScrollBar(this, "ScrollBar2", 188, 264, 257, 16, 8, Session_->ThresholdBar);
    Scan = Named(new QPushButton("Scan", this), "Scan");
    Scan->setGeometry(456, 304, 75, 25);
    cbByPriznak = MakeCheckBox(this, "cbByPriznak", "ByPriznak", 456, 336);
    cbPaintSteps = MakeCheckBox(this, "cbPaintSteps", "PaintSteps", 456, 360);
    ListBox2 = MakeList(this, "ListBox2", 98, 264, 89, 257);
    cbScan = MakeCheckBox(this, "cbScan", "Scan", 536, 304);
    setTabOrder(FileListBox1, ListBox1);
    setTabOrder(ListBox1, ScrollBar1);
    setTabOrder(ScrollBar1, ScrollBar2);
    setTabOrder(ScrollBar2, Scan);
    setTabOrder(Scan, cbByPriznak);
    setTabOrder(cbByPriznak, cbPaintSteps);
    setTabOrder(cbPaintSteps, ListBox2);
    setTabOrder(ListBox2, cbScan);

    Image1 = new TBitmapView(this, Session_->Grid, "Image1");
    Image1->setGeometry(188, 0, 256, 256);
    PaintBox1 = new TBitmapView(this, PaintBox1Bitmap_, "PaintBox1");
    PaintBox1->setGeometry(448, 0, 257, 257);
    PaintBox2 = new TBitmapView(this, PaintBox2Bitmap_, "PaintBox2");
    PaintBox2->setGeometry(188, 288, 256, 256);
    Label1 = Named(new QLabel("Label1", this), "Label1");
    Label1->move(456, 384);
    Label1->adjustSize();
    iRainbow = Named(new QLabel(this), "iRainbow");
    iRainbow->setGeometry(448, 288, 256, 4);
    iRainbow->hide();
}
