// Zoom: the three views show every pixel as a crisp z x z square, the rest of
// the layout moves with them, and every coordinate the window reports stays
// in grid pixels at every zoom, back to the layout itself at 1x.
#include "look_under_test.h"
#include "main/bitmap_view.h"
#include "main/zoom_layout.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

using Zoom = TLookUnderTest;

TEST(ZoomLayout, ViewsGrowBarsLengthenListsLengthenTheRestMoves) {
    using K = TZoomLayout::TKind;
    EXPECT_EQ(TZoomLayout::Map({188, 288, 256, 256}, K::View, 1), QRect(188, 288, 256, 256));
    EXPECT_EQ(TZoomLayout::Map({188, 288, 256, 256}, K::View, 2), QRect(188, 576, 512, 512));
    EXPECT_EQ(TZoomLayout::Map({448, 0, 257, 257}, K::View, 3), QRect(188 + 260 * 3, 0, 771, 771));
    EXPECT_EQ(TZoomLayout::Map({188, 264, 257, 16}, K::Bar, 4), QRect(188, 1056, 1028, 16));
    EXPECT_EQ(TZoomLayout::Map({98, 264, 89, 257}, K::List, 2), QRect(98, 528, 89, 514));
    EXPECT_EQ(TZoomLayout::Map({456, 304, 75, 25}, K::Fixed, 2), QRect(188 + 268 * 2, 608, 75, 25));
}

TEST_F(Zoom, ClicksAndHoversAtEveryZoomNameTheGridPixelUnderThePointer) {
    OpenWithShapes();
    LoadShapes();
    const QRect layoutImage1 = ctl.Image1->geometry();
    const QRect layoutScan = ctl.Scan->geometry();
    TZoomLayout zoom(*form);
    for (int z : {2, 3, 4, 1}) {
        zoom.Apply(z);
        ASSERT_EQ(ctl.PaintBox2->size(), QSize(256 * z, 256 * z)) << z;
        // The pointer anywhere inside a zoomed pixel names that pixel.
        Hover(ctl.Image1, 25 * z + z - 1, 55 * z);
        EXPECT_EQ(ReadoutLines()[0], "Picture, column 25, row 55") << z;
        Hover(ctl.PaintBox1, 70 * z, 9 * z + z - 1);
        EXPECT_EQ(ReadoutLines()[0], "Plane view, column 70, row 9") << z;
        // A press on the picture runs the click probe, which shows its labels.
        QTest::mouseClick(ctl.Image1, Qt::LeftButton, {}, QPoint(40 * z + z / 2, 40 * z));
        EXPECT_EQ(form->Snapshot().ShownPlane, 13) << z;
    }
    EXPECT_EQ(ctl.Image1->geometry(), layoutImage1);
    EXPECT_EQ(ctl.Scan->geometry(), layoutScan);
    EXPECT_EQ(dynamic_cast<TBitmapView*>(ctl.PaintBox2)->Zoom(), 1);
}

TEST(ZoomedView, PressesMovesAndCtrlWheelReportGridPixels) {
    TBitmap bitmap;
    CreateBitmap(bitmap, 256, 256, TRGB{1, 2, 3});
    TBitmapView view(nullptr, bitmap, "View");
    view.resize(768, 768);
    view.SetZoom(3);
    QPoint pressed(-1, -1), moved(-1, -1);
    int wheel = 0;
    view.OnPress([&](Qt::MouseButton, int x, int y) { pressed = {x, y}; });
    view.OnMove([&](int x, int y) { moved = {x, y}; });
    view.OnZoomWheel([&](int steps) { wheel += steps; });
    view.show();
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(3 * 200 + 2, 3 * 17));
    EXPECT_EQ(pressed, QPoint(200, 17));
    QTest::mouseMove(&view, QPoint(767, 0));
    EXPECT_EQ(moved, QPoint(255, 0));
    EXPECT_EQ(view.ToBitmap(QPoint(-1, -3)), QPoint(-1, -1)) << "left of the view stays outside";
    view.SetZoom(9);
    EXPECT_EQ(view.Zoom(), 4);

    const auto spin = [&](int dy, Qt::KeyboardModifiers mods) {
        QWheelEvent event(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, dy), Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    };
    spin(120, Qt::ControlModifier);
    spin(120, Qt::ControlModifier);
    spin(-120, Qt::ControlModifier);
    spin(120, Qt::NoModifier); // a plain wheel is not a zoom
    EXPECT_EQ(wheel, 1);
}

TEST_F(Zoom, ViewsPaintEveryPixelAsACrispSquare) {
    OpenWithShapes();
    LoadShapes();
    TZoomLayout zoom(*form);
    zoom.Apply(3);
    const QImage shown = ctl.Image1->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(768, 768));
    for (const QPoint p : {QPoint(25, 55), QPoint(10, 10), QPoint(160, 20), QPoint(255, 255)}) {
        const TRGB c = GetPixel(S.Grid, p.x(), p.y());
        for (int dy = 0; dy < 3; ++dy)
            for (int dx = 0; dx < 3; ++dx)
                EXPECT_EQ(shown.pixel(p.x() * 3 + dx, p.y() * 3 + dy), qRgb(c.r, c.g, c.b))
                    << p.x() << "," << p.y();
    }
}

} // namespace
