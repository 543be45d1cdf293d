// The colour legend in the empty column: a strip and words for each false
// colouring on screen (the area map or the composite in the plane view, the
// probe in the area view); and the views' context menu with the look's items.
#include "look_under_test.h"

#include "session/palette.h"

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using ColourLegend = TLookUnderTest;

// The strip a legend entry shows, at its own size, or a null image.
QImage Strip(const QLabel* label) {
    return label ? label->pixmap().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

TEST_F(ColourLegend, ShowsTheStripOfEachFalseColouringOnScreen) {
    OpenWithShapes();
    EXPECT_TRUE(Strip(Legend()->PlaneStrip()).isNull()) << "nothing is shown yet";
    EXPECT_TRUE(Strip(Legend()->ProbeStripLabel()).isNull());

    // The area map after a load: the Palette from value 0 to 255.
    LoadShapes();
    const QImage map = Strip(Legend()->PlaneStrip());
    ASSERT_EQ(map.size(), QSize(256, 1));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.pixel(i, 0), qRgb(Palette[i].r, Palette[i].g, Palette[i].b)) << i;
    // On the screen: white (no area) at the left, the greens after it.
    const QImage shown = Legend()->grab().toImage();
    EXPECT_EQ(shown.pixel(0, 2), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(Legend()->width() / 8, 2), map.pixel(256 / 8, 0));

    // A grey plane needs none; the composite has its three parts rising.
    SelectPlane(12);
    EXPECT_TRUE(Strip(Legend()->PlaneStrip()).isNull());
    SelectPlane(19);
    const QImage composite = Strip(Legend()->PlaneStrip());
    ASSERT_EQ(composite.size(), QSize(256, 3));
    EXPECT_EQ(composite.pixel(255, 0), qRgb(255, 0, 0));
    EXPECT_EQ(composite.pixel(255, 1), qRgb(0, 255, 0));
    EXPECT_EQ(composite.pixel(255, 2), qRgb(0, 0, 255));
    EXPECT_EQ(composite.pixel(0, 1), qRgb(0, 0, 0));

    // The probe: blue rising (alike as it stands) over red rising (mirrored),
    // until the next pass draws the outlines again.
    Hover(ctl.PaintBox2, 60, 60);
    const QImage probe = Strip(Legend()->ProbeStripLabel());
    ASSERT_EQ(probe.size(), QSize(256, 2));
    EXPECT_EQ(probe.pixel(255, 0), qRgb(0, 0, 255));
    EXPECT_EQ(probe.pixel(255, 1), qRgb(255, 0, 0));
    EXPECT_EQ(probe.pixel(128, 0), qRgb(0, 0, 128));
    EXPECT_FALSE(Strip(Legend()->PlaneStrip()).isNull()) << "both views' entries at once";
    ctl.ScrollBar2->setValue(120);
    EXPECT_TRUE(Strip(Legend()->ProbeStripLabel()).isNull());
}

TEST_F(ColourLegend, WordsFitTheirPlaceAndIRainbowStaysWhereTheLayoutHasIt) {
    OpenWithShapes();
    LoadShapes();
    SelectPlane(19);
    Hover(ctl.PaintBox2, 60, 60);
    for (const char* name : {"LegendPlaneWords", "LegendProbeWords"}) {
        QLabel* words = FindControl<QLabel>(*form, name);
        ASSERT_TRUE(words->isVisible()) << name;
        EXPECT_LE(words->heightForWidth(words->width()), words->height()) << name;
        EXPECT_TRUE(Legend()->rect().contains(words->geometry())) << name;
    }
    EXPECT_EQ(ctl.iRainbow->geometry(), QRect(448, 288, 256, 4));
    EXPECT_FALSE(ctl.iRainbow->isVisible());
    const QImage rainbow = ctl.iRainbow->pixmap().toImage();
    for (int i = 0; i < 256; i += 15)
        EXPECT_EQ(rainbow.pixel(i, 0), qRgb(Palette[i].r, Palette[i].g, Palette[i].b)) << i;
}

TEST_F(ColourLegend, TheViewsContextMenuOpensTheMagnifierAndTheTable) {
    OpenWithShapes();
    for (QWidget* view : {ctl.PaintBox1, ctl.PaintBox2}) {
        QStringList items;
        // The menu is answered as soon as it shows: its items read, then closed.
        QTimer::singleShot(0, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                for (QAction* a : popup->actions())
                    items << a->text() + " " + a->shortcut().toString();
                popup->close();
            }
        });
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 20),
                               view->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view, &menu);
        // The tools come last, below what can be done with the view itself.
        EXPECT_EQ(items.mid(items.size() - 2),
                  QStringList({"Magnifier Ctrl+M", "Table of areas Ctrl+T"}))
            << view->objectName().toStdString();
    }
    QMenu menu;
    form->AddLookActions(menu);
    ASSERT_EQ(menu.actions().size(), 2);
    menu.actions()[1]->trigger();
    EXPECT_TRUE(Table()->isVisible());
    menu.actions()[0]->trigger();
    EXPECT_TRUE(Magnifier()->isVisible());
}

} // namespace
