// The readout in the empty column below Label1: what lies under the pointer in
// each view, live as it moves, and the state of the last analysis in words.
#include "look_under_test.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using ReadoutLine = TLookUnderTest;

TEST_F(ReadoutLine, SaysWhatLiesUnderThePointerInThePictureAndThePlaneView) {
    OpenWithShapes();
    EXPECT_EQ(ReadoutLines().mid(0, 3),
              QStringList({"Move the pointer over a view.", "", "No analysis yet."}));
    LoadShapes();

    Hover(ctl.Image1, 25, 55);
    EXPECT_EQ(ReadoutLines().mid(0, 2),
              QStringList({"Picture, column 25, row 55", "red 20, green 30, blue 120"}));
    Hover(ctl.Image1, 10, 10);
    EXPECT_EQ(ReadoutLines()[1], "red 230, green 210, blue 40");

    // Plane 3, the area map, is shown after a load: its value and the label.
    ASSERT_EQ(form->Snapshot().ShownPlane, 3);
    ASSERT_GE(KeptAreas(), 3);
    const QPoint p = PixelOf(*Areas[0]);
    Hover(ctl.PaintBox1, p.x(), p.y());
    EXPECT_EQ(ReadoutLines().mid(0, 2),
              QStringList({QString("Plane view, column %1, row %2").arg(p.x()).arg(p.y()),
                           QString("plane 3 aArH: %1, label %2")
                               .arg(Plane(aArH)[p.y()][p.x()])
                               .arg(Areas[0]->label)}));
    const QPoint q = PixelOfAnAreaNotKept();
    ASSERT_GE(q.x(), 0);
    Hover(ctl.PaintBox1, q.x(), q.y());
    EXPECT_EQ(ReadoutLines()[1], QString("plane 3 aArH: %1, label %2 (not kept)")
                                     .arg(Plane(aArH)[q.y()][q.x()])
                                     .arg(S.Areas.LabelMap[q.y()][q.x()]));
    Hover(ctl.PaintBox1, 255, 100);
    EXPECT_EQ(ReadoutLines()[1], "plane 3 aArH: 0, no area") << "the frame belongs to no area";

    SelectPlane(12);
    Hover(ctl.PaintBox1, 70, 9);
    EXPECT_EQ(ReadoutLines()[1], QString("plane 12 aV: %1").arg(Plane(aV)[9][70]));
    Hover(ctl.PaintBox1, 256, 9);
    EXPECT_EQ(ReadoutLines()[1], "the view's edge, outside the planes");
    SelectPlane(19);
    Hover(ctl.PaintBox1, 7, 8);
    EXPECT_EQ(ReadoutLines()[1], QString("hue %1, small noise %2, spots %3")
                                     .arg(Plane(aH)[8][7])
                                     .arg(Plane(aNo1)[8][7])
                                     .arg(Plane(aNo2)[8][7]));
}

TEST_F(ReadoutLine, FollowsTheProbeOnTheAreaViewWithTheLikenessItDrewIn) {
    OpenWithShapes();
    LoadShapes();
    ASSERT_GE(KeptAreas(), 3);
    // Over the centre of an area that holds its centre: the probe picks it.
    const TArea* holding = nullptr;
    for (int i = 0; i <= AreaCount && !holding; ++i)
        if (Areas[i] && KeptAreaAt(Areas[i]->meanX, Areas[i]->meanY) == Areas[i].get())
            holding = Areas[i].get();
    ASSERT_NE(holding, nullptr);
    const TArea& a = *holding;
    Hover(ctl.PaintBox2, a.meanX, a.meanY);
    EXPECT_EQ(ReadoutLines().mid(0, 2),
              QStringList({QString("Area view, column %1, row %2: label %3")
                               .arg(a.meanX)
                               .arg(a.meanY)
                               .arg(a.label),
                           "the probe picked this area"}));

    // Over an area nearer another's centre: its likeness to the picked one
    // is the colour it is drawn in, blue plain and red mirrored, of 255.
    int picked = -1;
    const QPoint p = PixelNearerAnotherCentre(picked);
    ASSERT_GE(p.x(), 0);
    Hover(ctl.PaintBox2, p.x(), p.y());
    ASSERT_EQ(S.Areas.ProbePick.Index, picked);
    const TRGB drawn = GetPixel(PaintBox2Bitmap(), p.x(), p.y());
    EXPECT_EQ(ReadoutLines()[1], QString("likeness to %1: plain %2, mirrored %3")
                                     .arg(Areas[picked]->label)
                                     .arg(drawn.b / 255.0, 0, 'f', 2)
                                     .arg(drawn.r / 255.0, 0, 'f', 2));
    const QPoint q = PixelOfAnAreaNotKept();
    Hover(ctl.PaintBox2, q.x(), q.y());
    EXPECT_EQ(
        ReadoutLines()[1],
        QString("not kept; the probe picked label %1").arg(Areas[S.Areas.ProbePick.Index]->label));

    // A pass draws outlines again: no probe words until the next move.
    ctl.ScrollBar2->setValue(ctl.ScrollBar2->value() + 1);
    Hover(ctl.PaintBox1, 3, 3);
    Hover(ctl.Image1, 3, 3);
    form->ListBox1Click(); // redraws without a pass
    EXPECT_FALSE(Readout()->text().contains("probe")) << Readout()->text().toStdString();
}

TEST_F(ReadoutLine, TellsTheLastAnalysisAfterEveryPassAndTheScansBestScore) {
    OpenWithShapes();
    LoadShapes();
    const auto analysis = [&] { return ReadoutLines().mid(2); };
    const QString kept = QString("%1 areas kept, ").arg(KeptAreas());
    const QString rejected = ctl.Label1->text() == "-1"
                                 ? QString("no fill rejected")
                                 : "last rejected fill " + ctl.Label1->text();
    EXPECT_EQ(
        analysis(),
        QStringList(
            {"Last analysis: brightness/noise mix",
             QString("threshold %1, raised to %2").arg(ctl.ScrollBar2->value()).arg(S.Areas.Level),
             kept + rejected}));

    ctl.ScrollBar2->setValue(90);
    EXPECT_EQ(analysis()[1], QString("threshold 90, raised to %1").arg(S.Areas.Level));

    QTest::mouseClick(ctl.Scan, Qt::LeftButton);
    double best = 0;
    for (double score : LevelScores) best = std::max(best, score);
    ASSERT_EQ(analysis().size(), 4);
    EXPECT_EQ(analysis()[3], QString("scan best score %1").arg(best, 0, 'f', 1));
    ctl.ScrollBar2->setValue(ctl.ScrollBar2->value() - 3);
    EXPECT_EQ(analysis().size(), 3) << "a pass after the scan is not the scan's";

    ctl.cbByPriznak->setChecked(true);
    SelectPlane(12);
    EXPECT_EQ(analysis()[0], "Last analysis: plane 12 aV");
}

TEST_F(ReadoutLine, StaysInTheEmptyColumnAndItsTextCanBeSelected) {
    OpenWithShapes();
    LoadShapes();
    QLabel* r = Readout();
    EXPECT_TRUE(r->textInteractionFlags() & Qt::TextSelectableByMouse);
    const QRect column(448, ctl.Label1->geometry().bottom() + 1, 705 - 448, 548);
    EXPECT_TRUE(column.contains(r->geometry())) << r->geometry().y();
    EXPECT_TRUE(column.contains(Legend()->geometry()));
    EXPECT_FALSE(r->geometry().intersects(Legend()->geometry()));
    for (QWidget* control : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == r || control == Legend() || !control->isVisible() || control->isWindow())
            continue;
        EXPECT_FALSE(r->geometry().intersects(control->geometry()) ||
                     Legend()->geometry().intersects(control->geometry()))
            << control->objectName().toStdString();
    }

    // The longest texts: a scan's four lines under the probe's two.
    QTest::mouseClick(ctl.Scan, Qt::LeftButton);
    Hover(ctl.PaintBox2, 40, 40);
    Hover(ctl.PaintBox2, 200, 200);
    const QFontMetrics metrics = r->fontMetrics();
    const QStringList lines = ReadoutLines();
    EXPECT_EQ(lines.size(), 6);
    EXPECT_LE(lines.size() * metrics.lineSpacing(), r->height());
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), r->width()) << line.toStdString();
        EXPECT_FALSE(line.endsWith(QChar(0x2026))) << "cut short: " << line.toStdString();
    }
}

} // namespace
