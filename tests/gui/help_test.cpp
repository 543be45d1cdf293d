// Help in the window: every control explains itself, the plane list names
// its planes in words, and the pointer shows what lies under it.
#include "areas/area_tables.h"
#include "image/plane_store.h"
#include "main/uMain.h"
#include "support/test_pictures.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

// The tooltip a widget shows when the pointer rests at `pos`.
QString TipAt(QWidget* w, QPoint pos) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, pos, w->mapToGlobal(pos));
    QApplication::sendEvent(w, &help);
    return QToolTip::text();
}

TEST(WindowHelp, EveryControlAndEveryPlaneEntryHasAToolTip) {
    TfrmMain form("/nonexistent");
    for (QWidget* w : std::initializer_list<QWidget*>{
             form.Image1, form.PaintBox1, form.PaintBox2, form.Label1, form.FileListBox1,
             form.ListBox1, form.ListBox2, form.ScrollBar1, form.ScrollBar2, form.Scan,
             form.cbByPriznak, form.cbPaintSteps, form.cbScan})
        EXPECT_FALSE(w->toolTip().isEmpty()) << w->metaObject()->className();
    const char* words[] = {"small noise", "spots",      "borders",   "area map", "reserved",
                           "reserved",    "reserved",   "red",       "green",    "blue",
                           "hue",         "saturation", "brightness"};
    for (int p = 0; p < 13; ++p)
        EXPECT_TRUE(form.ListBox1->item(p)->toolTip().contains(words[p])) << p;
    EXPECT_TRUE(form.ListBox1->item(19)->toolTip().contains("composite"));
}

TEST(WindowHelp, PointerShowsPictureColoursPlaneValuesAndTheLastAnalysis) {
    QTemporaryDir samples;
    WriteBmp24(PathIn(samples, "a.bmp"), 256, 256, [](int x, int y) -> TRGB {
        return (x / 32 + y / 32) % 2 ? TRGB{230, 210, 40} : TRGB{20, 30, 120};
    });
    TfrmMain form(samples.path());
    form.show();
    EXPECT_EQ(TipAt(form.Label1, {2, 2}), "No analysis has run yet.");
    form.FileListBox1FileName = PathIn(samples, "a.bmp");
    form.FileListBox1Change();

    EXPECT_EQ(TipAt(form.Image1, {40, 3}), "column 40, row 3: red 230, green 210, blue 40");
    EXPECT_EQ(form.ShownPlane, 3);
    EXPECT_EQ(TipAt(form.PaintBox1, {5, 6}),
              QString("column 5, row 6: plane 3 value %1").arg(Plane(aArH)[6][5]));
    form.ListBox1->setCurrentRow(19);
    form.ListBox1Click();
    EXPECT_EQ(TipAt(form.PaintBox1, {7, 8}),
              QString("column 7, row 8: hue %1, small noise %2, spots %3")
                  .arg(Plane(aH)[8][7])
                  .arg(Plane(aNo1)[8][7])
                  .arg(Plane(aNo2)[8][7]));
    int kept = 0;
    for (int i = 0; i <= AreaCount; ++i) kept += Areas[i] != nullptr;
    const QString analysis = TipAt(form.Label1, {2, 2});
    EXPECT_TRUE(analysis.contains(QString("threshold %1 ").arg(form.ScrollBar2->value())))
        << analysis.toStdString();
    EXPECT_TRUE(analysis.contains(QString("%1 areas kept").arg(kept))) << analysis.toStdString();
}

} // namespace
