// The window as the user meets it: layout, start-up state, the toolkit
// behaviours the handlers rely on, and the file list rules. Driven off screen
// through Qt Test events on the real controls.
#include "areas/area_tables.h"
#include "image/plane_store.h"
#include "window_under_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using WindowLayout = TWindowUnderTest;
using WindowToolkit = TWindowUnderTest;
using FileList = TWindowUnderTest;

TEST_F(WindowLayout, ControlsSitWhereTheLayoutPutsThem) {
    Open();
    EXPECT_EQ(form->windowTitle(), "Tessavorin");
    EXPECT_EQ(form->frameGeometry(), QRect(33, 5, 717, 575));
    const struct {
        QWidget* w;
        QRect r;
    } places[] = {
        {ctl.Image1, {188, 0, 256, 256}},      {ctl.PaintBox1, {448, 0, 257, 257}},
        {ctl.PaintBox2, {188, 288, 256, 256}}, {ctl.FileListBox1, {0, 0, 97, 521}},
        {ctl.ListBox1, {98, 0, 89, 257}},      {ctl.ScrollBar1, {448, 264, 257, 16}},
        {ctl.ScrollBar2, {188, 264, 257, 16}}, {ctl.Scan, {456, 304, 75, 25}},
        {ctl.cbByPriznak, {456, 336, 97, 17}}, {ctl.cbPaintSteps, {456, 360, 97, 17}},
        {ctl.ListBox2, {98, 264, 89, 257}},    {ctl.cbScan, {536, 304, 97, 17}},
        {ctl.iRainbow, {448, 288, 256, 4}},
    };
    for (const auto& p : places) EXPECT_EQ(p.w->geometry(), p.r) << p.w->metaObject()->className();
    EXPECT_EQ(ctl.Label1->pos(), QPoint(456, 384));
    EXPECT_FALSE(ctl.iRainbow->isVisible());
    for (QWidget* w : {ctl.Image1, ctl.PaintBox1, ctl.PaintBox2})
        EXPECT_TRUE(w->geometry().right() < form->width() &&
                    w->geometry().bottom() < form->height());
    EXPECT_EQ(form->font().pixelSize(), 11);

    EXPECT_EQ(ctl.Scan->text(), "Scan");
    EXPECT_EQ(ctl.cbByPriznak->text(), "ByPriznak");
    EXPECT_EQ(ctl.cbPaintSteps->text(), "PaintSteps");
    EXPECT_EQ(ctl.cbScan->text(), "Scan");
    const char* const names[] = {"aNo1,",          "aNo2,", "aNo3,",
                                 "aArH,",          "aArV,", "aArL,",
                                 "aArR,",          "aR,",   "aG,",
                                 "aB,           ", "aH,",   "aT,",
                                 "aV,           ", "aGr,",  "aGrD,           ",
                                 "aGV,",           "aGVV,", "aGH,",
                                 "aGHH,",          "aZ"};
    ASSERT_EQ(ctl.ListBox1->count(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(ctl.ListBox1->item(i)->text(), names[i]) << i;
    EXPECT_EQ(ctl.ListBox1->visualItemRect(ctl.ListBox1->item(1)).height(), 13);
}

TEST_F(WindowLayout, FocusMovesInTheLayoutOrder) {
    Open();
    const std::vector<QWidget*> order = {ctl.FileListBox1, ctl.ListBox1, ctl.ScrollBar1,
                                         ctl.ScrollBar2,   ctl.Scan,     ctl.cbByPriznak,
                                         ctl.cbPaintSteps, ctl.ListBox2, ctl.cbScan};
    for (size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << i;
    }
}

TEST_F(WindowLayout, StartUpLeavesEverythingReadyButLoadsNothing) {
    WriteUniformBmp(PathIn(samples, "b.bmp"), 8, 8, {10, 20, 30});
    WriteUniformBmp(PathIn(samples, "a.bmp"), 8, 8, {10, 20, 30});
    Open();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(ctl.ScrollBar1->value(), 100);
    EXPECT_EQ(ctl.ScrollBar2->value(), 100);
    EXPECT_EQ(ctl.ScrollBar2->pageStep(), 64);
    EXPECT_EQ(ctl.ListBox1->currentRow(), 3);
    EXPECT_EQ(ctl.FileListBox1->currentRow(), 0);
    EXPECT_EQ(ctl.Label1->text(), "Label1");
    EXPECT_FALSE(ctl.cbByPriznak->isChecked() || ctl.cbPaintSteps->isChecked() ||
                 ctl.cbScan->isChecked());
    ASSERT_EQ(ctl.ListBox2->count(), 9);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(Line(k), QString("%1 : 0").arg(k));
    // ToneTab for the offset 100: values of 155 and more show white.
    EXPECT_EQ(ToneTab[0], 100);
    EXPECT_EQ(ToneTab[154], 254);
    EXPECT_EQ(ToneTab[155], 255);
    EXPECT_EQ(ToneTab[-1024], 0);
    // Nothing loaded: the picture is white, the paint boxes are as never drawn.
    EXPECT_EQ(GetPixel(Image1Picture, 5, 5), (TRGB{255, 255, 255}));
    EXPECT_EQ(GetPixel(PaintBox1Bitmap(), 5, 5), form->ButtonFace());
    EXPECT_EQ(GetPixel(PaintBox2Bitmap(), 5, 5), form->ButtonFace());
}

TEST_F(WindowLayout, MissingSamplesFolderIsReportedAndStartUpStillFinishes) {
    Open(QDir(samples.path()).filePath("no such folder"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].text.contains("no such folder")) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains("Cannot open the folder"));
    EXPECT_EQ(ctl.FileListBox1->count(), 0);
    EXPECT_EQ(ToneTab[155], 255);
    EXPECT_EQ(ctl.ScrollBar2->pageStep(), 64);
    EXPECT_EQ(ctl.ListBox1->currentRow(), 3);
    ASSERT_EQ(ctl.ListBox2->count(), 9);
}

TEST_F(WindowToolkit, ScrollBarRunsItsHandlerOnlyOnARealChangeAndAtOnce) {
    Open();
    // ScrollBar1Change ends by listing and resetting the counters: a set
    // counter shows whether it ran before the setter returned.
    OpCounters[4] = 7;
    ctl.ScrollBar1->setValue(100);
    EXPECT_EQ(OpCounters[4], 7) << "no change, no handler";
    ctl.ScrollBar1->setValue(300);
    EXPECT_EQ(ctl.ScrollBar1->value(), 255) << "clamped to the range";
    EXPECT_EQ(OpCounters[4], 0);
    EXPECT_EQ(Line(4), "4 : 7");
    EXPECT_EQ(ToneTab[0], 255);
    ctl.ScrollBar1->setValue(-5);
    EXPECT_EQ(ctl.ScrollBar1->value(), 0);
    EXPECT_EQ(ToneTab[17], 17);
}

TEST_F(WindowToolkit, ListSelectionFromCodeRunsNoHandlerButTheUsersChoiceDoes) {
    Open();
    OpCounters[2] = 5;
    ctl.ListBox1->setCurrentRow(7);
    EXPECT_EQ(OpCounters[2], 5) << "set from code: no handler";
    Click(ctl.ListBox1, 12);
    EXPECT_EQ(ctl.ListBox1->currentRow(), 12);
    EXPECT_EQ(OpCounters[2], 0);
    EXPECT_EQ(Line(2), "2 : 5");
    // Clicking the entry already selected runs the handler once more.
    OpCounters[2] = 6;
    Click(ctl.ListBox1, 12);
    EXPECT_EQ(Line(2), "2 : 6");
    // A click in ListBox2 runs the same handler.
    OpCounters[6] = 3;
    Click(ctl.ListBox2, 4);
    EXPECT_EQ(Line(6), "6 : 3");
    // So does a key that moves the selection.
    OpCounters[1] = 9;
    ctl.ListBox1->setFocus();
    QTest::keyClick(ctl.ListBox1, Qt::Key_Down);
    EXPECT_EQ(ctl.ListBox1->currentRow(), 13);
    EXPECT_EQ(Line(1), "1 : 9");
    // Pressing on one entry and letting go on another runs it once.
    OpCounters[7] = 2;
    QListWidget* list = ctl.ListBox1;
    QTest::mousePress(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(Line(7), "7 : 2");
    OpCounters[7] = 4;
    QTest::mouseMove(list->viewport(), list->visualItemRect(list->item(5)).center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->item(5)).center());
    EXPECT_EQ(list->currentRow(), 5);
    EXPECT_EQ(Line(7), "7 : 4") << "the move to entry 5 ran the handler";
    EXPECT_EQ(OpCounters[7], 0);
}

TEST_F(FileList, ShowsMatchingFilesOnlySortedByNameIgnoringCase) {
    for (const char* name : {"b.JPG", "A.bmp", "c.Bmp", "d.png", "e.jpeg", "f.JPE", "g.jfif",
                             "h.tif", "i.TIFF", "notes.txt", "noext", "j.gif", ".k.png"})
        WriteTextFile(PathIn(samples, name), "x");
    QDir(samples.path()).mkdir("x.jpg"); // a folder is not a picture
    Open();
    QStringList shown;
    for (int i = 0; i < ctl.FileListBox1->count(); ++i) shown << ctl.FileListBox1->item(i)->text();
    EXPECT_EQ(shown, QStringList({"A.bmp", "b.JPG", "c.Bmp", "d.png", "e.jpeg", "f.JPE", "g.jfif",
                                  "h.tif", "i.TIFF"}));
}

TEST_F(FileList, ChoosingTheFirstEntryLoadsItAndChoosingItAgainDoesNothing) {
    WriteUniformBmp(PathIn(samples, "a.bmp"), 4, 4, {200, 0, 0});
    WriteUniformBmp(PathIn(samples, "b.bmp"), 4, 4, {0, 200, 0});
    Open();
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{255, 255, 255}));
    Click(ctl.FileListBox1, 0);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{200, 0, 0}));
    EXPECT_EQ(GetPixel(Image1Picture, 4, 4), (TRGB{255, 255, 255}));
    // Paint over the picture: choosing the same entry again must not reload it.
    SetPixel(Image1Picture, 0, 0, {1, 2, 3});
    Click(ctl.FileListBox1, 0);
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{1, 2, 3}));
    // Moving the selection with the keyboard loads the next picture.
    ctl.FileListBox1->setFocus();
    QTest::keyClick(ctl.FileListBox1, Qt::Key_Down);
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{0, 200, 0}));
    // Enter on the entry loaded last does nothing either.
    SetPixel(Image1Picture, 0, 0, {4, 5, 6});
    QTest::keyClick(ctl.FileListBox1, Qt::Key_Return);
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{4, 5, 6}));
}

TEST_F(FileList, EnterOnTheHighlightedFirstEntryLoadsIt) {
    WriteUniformBmp(PathIn(samples, "a.bmp"), 4, 4, {20, 40, 60});
    Open();
    ctl.FileListBox1->setFocus();
    QTest::keyClick(ctl.FileListBox1, Qt::Key_Return);
    EXPECT_EQ(GetPixel(Image1Picture, 1, 1), (TRGB{20, 40, 60}));
}

TEST_F(FileList, AFileThatCannotBeReadShowsAnErrorAndChangesNothing) {
    WriteUniformBmp(PathIn(samples, "a.bmp"), 300, 300, {50, 60, 70});
    WriteTextFile(PathIn(samples, "b.bmp"), "this is not a picture");
    Open();
    Click(ctl.FileListBox1, 0);
    ASSERT_TRUE(boxes.empty());
    const std::vector<uint8_t> before = Snapshot();
    OpCounters[3] = 11;
    Click(ctl.FileListBox1, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].text.contains("b.bmp")) << boxes[0].text.toStdString();
    EXPECT_EQ(Snapshot(), before) << "planes, picture and both views as they were";
    EXPECT_EQ(OpCounters[3], 11) << "the handler ended before redrawing";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is gone after the error";
    // Choosing the broken file again tries again: it was never loaded.
    OpCounters[3] = 0;
    Click(ctl.FileListBox1, 1);
    EXPECT_EQ(boxes.size(), 2u);
}

} // namespace
