// Help in the window: every control explains itself, the plane list names
// its planes in words, and the pointer shows what lies under it.
#include "main/uMain.h"
#include "session/session.h"
#include "support/test_pictures.h"
#include "support/window_controls.h"

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
    TfrmMain form(TestWindowOptions("/nonexistent"));
    const TControls c = Controls(form);
    form.show();
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.Image1, c.PaintBox2, c.FileListBox1, c.ListBox1, c.ListBox2, c.ScrollBar1,
             c.ScrollBar2, c.Scan, c.cbByPriznak, c.cbPaintSteps, c.cbScan})
        EXPECT_FALSE(w->toolTip().trimmed().isEmpty()) << w->objectName().toStdString();
    // The plane view and Label1 make theirs at the pointer: a blank one
    // only lets the tip be asked for.
    for (QWidget* w : {static_cast<QWidget*>(c.PaintBox1), static_cast<QWidget*>(c.Label1)})
        EXPECT_FALSE(TipAt(w, {2, 2}).trimmed().isEmpty()) << w->objectName().toStdString();
    const char* words[] = {"small noise", "spots",      "borders",   "area map", "reserved",
                           "reserved",    "reserved",   "red",       "green",    "blue",
                           "hue",         "saturation", "brightness"};
    for (int p = 0; p < 13; ++p)
        EXPECT_TRUE(c.ListBox1->item(p)->toolTip().contains(words[p])) << p;
    EXPECT_TRUE(c.ListBox1->item(19)->toolTip().contains("composite"));
}

TEST(WindowHelp, PointerShowsPictureColoursPlaneValuesAndTheLastAnalysis) {
    QTemporaryDir samples;
    WriteBmp24(PathIn(samples, "a.bmp"), 256, 256, [](int x, int y) -> TRGB {
        return (x / 32 + y / 32) % 2 ? TRGB{230, 210, 40} : TRGB{20, 30, 120};
    });
    TfrmMain form(TestWindowOptions(samples.path()));
    const TControls c = Controls(form);
    const TSession& S = form.Session();
    const auto Plane = [&](int p) -> const TPlane& { return S.Planes[p]; };
    form.show();
    EXPECT_EQ(TipAt(c.Label1, {2, 2}), "No analysis has run yet.");
    ASSERT_TRUE(form.ChooseFile(PathIn(samples, "a.bmp")));

    EXPECT_EQ(TipAt(c.Image1, {40, 3}), "column 40, row 3: red 230, green 210, blue 40");
    EXPECT_EQ(form.Snapshot().ShownPlane, 3);
    EXPECT_EQ(TipAt(c.PaintBox1, {5, 6}),
              QString("column 5, row 6: plane 3 value %1").arg(Plane(aArH)[6][5]));
    c.ListBox1->setCurrentRow(19);
    form.ListBox1Click();
    EXPECT_EQ(TipAt(c.PaintBox1, {7, 8}),
              QString("column 7, row 8: hue %1, small noise %2, spots %3")
                  .arg(Plane(aH)[8][7])
                  .arg(Plane(aNo1)[8][7])
                  .arg(Plane(aNo2)[8][7]));
    int kept = 0;
    for (int i = 0; i <= S.Areas.AreaCount; ++i) kept += S.Areas.Areas[i] != nullptr;
    const QString analysis = TipAt(c.Label1, {2, 2});
    EXPECT_TRUE(analysis.contains(QString("threshold %1 ").arg(c.ScrollBar2->value())))
        << analysis.toStdString();
    EXPECT_TRUE(analysis.contains(QString("%1 areas kept").arg(kept))) << analysis.toStdString();
}

} // namespace
