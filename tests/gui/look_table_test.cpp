// The table of areas: Ctrl+T opens it; one row per kept area of the last
// analysis with the figures of its record, sortable by any column, refreshed
// after every pass; a selected row is outlined on the area view and centres
// the magnifier there, and the pointer over an area selects its row.
#include "look_under_test.h"

#include "session/area_columns.h"

#include <QHeaderView>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using AreaTable = TLookUnderTest;

QString Cell(const QTableView* view, int row, int column) {
    return view->model()->index(row, column).data().toString();
}

void ClickRow(QTableView* view, int row) {
    view->scrollTo(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 1)).center());
}

void ClickTitle(QTableView* view, int column) {
    QHeaderView* header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
}

TEST_F(AreaTable, ListsEveryKeptAreaWithItsRecordsFiguresAfterEveryPass) {
    OpenWithShapes();
    CtrlKey(Qt::Key_T);
    ASSERT_TRUE(Table()->isVisible());
    QTableView* view = Table()->View();
    EXPECT_EQ(Table()->Status(), "No analysis yet.");
    EXPECT_EQ(view->model()->rowCount(), 0);
    ASSERT_EQ(view->model()->columnCount(), 26);
    for (int c = 0; c < 26; ++c)
        EXPECT_EQ(view->model()->headerData(c, Qt::Horizontal).toString(), AreaColumns[c].Name);

    LoadShapes();
    ASSERT_GE(KeptAreas(), 3);
    EXPECT_EQ(view->model()->rowCount(), KeptAreas());
    EXPECT_TRUE(Table()->Status().startsWith(QString("%1 areas kept").arg(KeptAreas())));
    // Rows in label order at first; each row is its record.
    int row = 0;
    for (int i = 0; i <= AreaCount; ++i) {
        if (!Areas[i]) continue;
        const TArea& a = *Areas[i];
        int pixels = 0, left = 255, right = 0, top = 255, bottom = 0;
        for (const TLineSeg& run : a.runs) {
            if (!run.len) continue;
            pixels += run.len;
            left = std::min<int>(left, run.x), right = std::max<int>(right, run.x + run.len - 1);
            top = std::min<int>(top, run.y), bottom = std::max<int>(bottom, run.y);
        }
        QStringList expected{QString::number(a.label),
                             QString::number(pixels),
                             QString::number(a.meanX),
                             QString::number(a.meanY),
                             QString::number(left),
                             QString::number(top),
                             QString::number(right),
                             QString::number(bottom),
                             QString::number(a.contourHigh + 1),
                             QString::number(double(a.radiusSum), 'g', 9)};
        for (uint8_t v : a.shape) expected << QString::number(v);
        QStringList shown;
        for (int c = 0; c < 18; ++c) shown << Cell(view, row, c);
        EXPECT_EQ(shown, expected) << "row " << row;
        ++row;
    }

    // Every pass refreshes it: a threshold moved, a scan.
    ctl.ScrollBar2->setValue(160);
    EXPECT_EQ(view->model()->rowCount(), KeptAreas());
    EXPECT_TRUE(Table()->Status().contains("threshold 160"));
    QTest::mouseClick(ctl.Scan, Qt::LeftButton);
    EXPECT_EQ(view->model()->rowCount(), KeptAreas());
    EXPECT_EQ(view->model()->rowCount(), KeptAreas());

    // A pass that fails half way leaves no analysis to list.
    counter.failing = true;
    ctl.ScrollBar2->setValue(30);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(Table()->Status(), "The last analysis did not finish.");
}

TEST_F(AreaTable, SortsByAnyColumnAsItsTitleIsClicked) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_T);
    QTableView* view = Table()->View();
    const int rows = view->model()->rowCount();
    ASSERT_GE(rows, 3);
    const auto column = [&](int c) {
        std::vector<double> v;
        for (int r = 0; r < rows; ++r) v.push_back(Cell(view, r, c).toDouble());
        return v;
    };
    // By number, not by text (which would put 1000 before 999).
    for (int c : {1, 9, 12}) { // pixels, radius sum, a profile value
        ClickTitle(view, c);
        std::vector<double> v = column(c);
        EXPECT_TRUE(std::is_sorted(v.begin(), v.end())) << c;
        ClickTitle(view, c);
        v = column(c);
        EXPECT_TRUE(std::is_sorted(v.rbegin(), v.rend())) << c;
    }
}

TEST_F(AreaTable, ARowChosenIsOutlinedOnTheAreaViewAndTheMagnifierGoesThere) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_T);
    CtrlKey(Qt::Key_M);
    QTableView* view = Table()->View();
    ClickTitle(view, 1); // by pixels: the chosen row is not the record's index
    ClickTitle(view, 1);
    const std::vector<uint8_t> drawn = PaintBox2Bitmap().Pixels;
    ClickRow(view, 1);
    const int32_t label = Cell(view, 1, 0).toInt();
    EXPECT_EQ(Table()->SelectedLabel(), label);
    const TArea* a = nullptr;
    for (int i = 0; i <= AreaCount; ++i)
        if (Areas[i] && Areas[i]->label == label) a = Areas[i].get();
    ASSERT_NE(a, nullptr);

    EXPECT_EQ(Magnifier()->Caption().split('\n')[0],
              QString("Area view, column %1, row %2: label %3")
                  .arg(a->meanX)
                  .arg(a->meanY)
                  .arg(S.Areas.LabelMap[a->meanY][a->meanX]));
    // The outline is drawn over the view on the screen, around the area's
    // pixels; the view's own bitmap stays as the pass drew it.
    const QImage shown = ctl.PaintBox2->grab().toImage();
    const auto in = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 256 && y < 256 && S.Areas.LabelMap[y][x] == label;
    };
    int outlined = 0, inside = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const bool changed =
                QColor(shown.pixel(x, y)) != QColor(qRgb(GetPixel(PaintBox2Bitmap(), x, y).r,
                                                         GetPixel(PaintBox2Bitmap(), x, y).g,
                                                         GetPixel(PaintBox2Bitmap(), x, y).b));
            const bool edge =
                in(x, y) && !(in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1));
            bool deep = true; // two pixels from the outline every way
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) deep = deep && in(x + dx, y + dy);
            const QRgb c = shown.pixel(x, y);
            if (edge) outlined += changed && (c == qRgb(255, 255, 255) || c == qRgb(0, 0, 0));
            inside += deep && changed;
        }
    EXPECT_GT(outlined, 8);
    EXPECT_EQ(inside, 0) << "an outline, not a fill";
    EXPECT_EQ(PaintBox2Bitmap().Pixels, drawn);

    // Closed, the table leaves no outline; a new pass clears the choice.
    CtrlKey(Qt::Key_T);
    EXPECT_NE(ctl.PaintBox2->grab().toImage(), shown);
    CtrlKey(Qt::Key_T);
    EXPECT_EQ(ctl.PaintBox2->grab().toImage(), shown);
    ctl.ScrollBar2->setValue(101);
    EXPECT_EQ(Table()->SelectedLabel(), 0);
}

TEST_F(AreaTable, ThePointerOverAnAreaSelectsItsRow) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_T);
    CtrlKey(Qt::Key_M);
    for (int i = 0; i <= AreaCount; ++i) {
        if (!Areas[i]) continue;
        const QPoint p = PixelOf(*Areas[i]);
        Hover(ctl.PaintBox2, p.x(), p.y());
        EXPECT_EQ(Table()->SelectedLabel(), Areas[i]->label);
        // The magnifier keeps following the pointer, not the area's centre.
        EXPECT_EQ(Magnifier()->Caption().split('\n')[0].section(':', 0, 0),
                  QString("Area view, column %1, row %2").arg(p.x()).arg(p.y()));
    }
    const QPoint q = PixelOfAnAreaNotKept();
    const int32_t before = Table()->SelectedLabel();
    Hover(ctl.PaintBox2, q.x(), q.y());
    EXPECT_EQ(Table()->SelectedLabel(), before) << "no row to select: the choice stays";
}

} // namespace
