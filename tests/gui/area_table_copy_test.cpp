// The table of areas in the picture's terms and as a spreadsheet's source:
// the areas wholly off a smaller picture hidden by default, the rows copied
// as tab-separated text with the header, and saved as areas.csv writes them.
#include "look_under_test.h"

#include "session/area_columns.h"
#include "session/footprint.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>

using AreaTableCopy = TLookUnderTest;

namespace {

// The shapes, then a smaller light picture with one dark block over their
// top-left: the shapes outside 120 x 90 stay on the grid, off the picture.
void WriteSmallPicture(const QTemporaryDir& samples) {
    WriteBmp24(PathIn(samples, "t-small.bmp"), 120, 90, [](int x, int y) -> TRGB {
        return x >= 30 && x < 60 && y >= 30 && y < 50 ? TLookUnderTest::Dark
                                                      : TLookUnderTest::Light;
    });
}

} // namespace

TEST_F(AreaTableCopy, HidesTheAreasOffThePictureUntilAskedToShowThem) {
    WriteSmallPicture(samples);
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_T);
    QTableView* view = Table()->View();
    const int all = Table()->Model()->rowCount();
    EXPECT_EQ(view->model()->rowCount(), all) << "every shape lies on the shapes' picture";
    Choose(1);
    ctl.ScrollBar2->setValue(101); // between the values again, as for the shapes
    ASSERT_EQ(S.Picture.Size.Width, 120);
    const TFootprint f = FootprintOf(S.Picture);
    int onPicture = 0;
    for (const TArea* a : ::KeptAreas(S.Areas)) onPicture += Figures(*a, f).Inside > 0;
    const int kept = Table()->Model()->rowCount();
    ASSERT_GT(kept, onPicture) << "the shapes left outside the small picture are areas";
    ASSERT_GT(onPicture, 0);
    EXPECT_TRUE(Table()->PictureOnly()->isChecked());
    EXPECT_EQ(view->model()->rowCount(), onPicture);
    EXPECT_TRUE(Table()->Status().contains(
        QString(" %1 wholly off the picture are hidden.").arg(kept - onPicture)));
    for (int r = 0; r < view->model()->rowCount(); ++r)
        EXPECT_GT(view->model()->index(r, InsideColumn).data(Qt::UserRole).toDouble(), 0);
    Table()->PictureOnly()->setChecked(false);
    EXPECT_EQ(view->model()->rowCount(), kept);
    EXPECT_FALSE(Table()->Status().contains("hidden"));
}

TEST_F(AreaTableCopy, CopiesTheSelectedRowsAsTabSeparatedTextAndSavesTheShownAsCsv) {
    OpenWithShapes();
    LoadShapes();
    CtrlKey(Qt::Key_T);
    QTableView* view = Table()->View();
    ASSERT_GE(view->model()->rowCount(), 3);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QStringList header;
    for (int c = 0; c < AreaColumnCount; ++c) header << AreaColumns[c].Name;
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < AreaColumnCount; ++c)
            cells << view->model()->index(r, c).data().toString();
        return cells.join('\t');
    };
    // Rows 2 and 0 selected, in that order: copied in the order shown.
    QItemSelectionModel* selection = view->selectionModel();
    selection->select(view->model()->index(2, 0),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->select(view->model()->index(0, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    Table()->activateWindow();
    QApplication::setActiveWindow(Table());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              header.join('\t') + "\n" + row(0) + "\n" + row(2) + "\n");
    // Ctrl+A takes every row; the context menu's Copy gives them all.
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selection->selectedRows().size(), view->model()->rowCount());
    QAction* copy = view->findChild<QAction*>("AreaTableCopy");
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(view->actions().contains(copy));
    EXPECT_EQ(view->contextMenuPolicy(), Qt::ActionsContextMenu);
    copy->trigger();
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), view->model()->rowCount() + 2) << "header, rows, an empty end";
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(lines[1], row(0));
    EXPECT_EQ(Table()->RowsAsTsv(true), QApplication::clipboard()->text());

    // Sorted by label, every area shown: the file areas.csv holds.
    QTemporaryDir out;
    const QString path = out.filePath("table.csv");
    QString error;
    ASSERT_TRUE(Table()->SaveCsv(path, &error)) << error.toStdString();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), AreasCsv(S.Areas, FootprintOf(S.Picture)));
    EXPECT_FALSE(Table()->SaveCsv(out.filePath("no/such/folder/t.csv"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_NE(view->findChild<QAction*>("AreaTableSaveCsv"), nullptr);
}

// The area view frames a picture that leaves part of the grid, on the widget
// only: the view's bitmap, which the dumps hold, stays the analysis's.
TEST_F(AreaTableCopy, TheAreaViewFramesASmallerPicturesFootprintOnTheWidgetOnly) {
    WriteSmallPicture(samples);
    OpenWithShapes();
    LoadShapes();
    const QImage whole = ctl.PaintBox2->grab().toImage();
    EXPECT_NE(whole.pixelColor(120, 40), QColor(255, 0, 255)) << "no frame on a full grid";
    Choose(1);
    const QImage framed = ctl.PaintBox2->grab().toImage();
    const TBitmap& bitmap = PaintBox2Bitmap();
    for (const QPoint p : {QPoint(120, 0), QPoint(120, 89), QPoint(0, 90), QPoint(119, 90)}) {
        EXPECT_EQ(framed.pixelColor(p), QColor(255, 0, 255)) << p.x() << "," << p.y();
        EXPECT_NE(GetPixel(bitmap, p.x(), p.y()), (TRGB{255, 0, 255}));
    }
    EXPECT_NE(framed.pixelColor(119, 10), QColor(255, 0, 255)) << "the picture's own pixels";
    EXPECT_NE(framed.pixelColor(130, 100), QColor(255, 0, 255));
}
