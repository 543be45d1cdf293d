// A TfrmMain over a samples folder of the test's own and a session of the
// test's own, shown off screen, with every modal box recorded instead of
// shown, and the passes it runs counted (as the window tells them, through
// the scan's passes too).
#pragma once

#include "main/uMain.h"
#include "session/session.h"
#include "support/test_pictures.h"
#include "support/window_controls.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

struct TRecordedBox {
    QMessageBox::Icon icon;
    QString caption, text;
};

// Counts the passes it hears end; `failing` makes the next pass fail as it
// chooses its threshold.
struct TPassCounter : TPassObserver {
    int& passes;
    bool failing = false;
    explicit TPassCounter(int& p) : passes(p) {}
    void ThresholdChosen(int32_t) override {
        if (failing) throw std::bad_alloc();
    }
    void PassFinished(const TPassResult&) override { ++passes; }
};

struct TWindowUnderTest : ::testing::Test {
    QTemporaryDir samples;
    std::vector<TRecordedBox> boxes;
    std::unique_ptr<TSession> session = NewSession();
    TSession& S = *session;
    std::unique_ptr<TfrmMain> form;
    TControls ctl; // the window's controls, once it is open
    int passes = 0;
    TPassCounter counter{passes};

    // The session's state under the names the handlers use.
    TBitmap& Image1Picture = S.Grid;
    int64_t (&OpCounters)[9] = S.Areas.OpCounters;
    TToneTab& ToneTab = S.ToneTab;
    std::unique_ptr<TArea> (&Areas)[MaxAreaIndex + 1] = S.Areas.Areas;
    int32_t& AreaCount = S.Areas.AreaCount;
    int32_t& RejectedLast = S.Areas.RejectedLast;
    double (&LevelScores)[256] = S.Areas.LevelScores;
    TPlane& Plane(int p) { return S.Planes[p]; }
    const TBitmap& PaintBox1Bitmap() const { return *form->Snapshot().PaintBox1; }
    const TBitmap& PaintBox2Bitmap() const { return *form->Snapshot().PaintBox2; }

    void Open() { Open(samples.path()); }

    // How a box is answered; by default every box gets OK.
    TfrmMain::TMessageBoxHook answerBox;

    void Open(const QString& dir) {
        TfrmMain::TOptions options = TestWindowOptions(
            dir, &S, [this](QMessageBox::Icon icon, const QString& caption, const QString& text) {
                boxes.push_back({icon, caption, text});
            });
        if (answerBox) options.MessageBox = answerBox;
        options.PassWatcher = &counter;
        form = std::make_unique<TfrmMain>(std::move(options));
        form->show();
        ctl = Controls(*form);
    }

    std::string Path(const char* name) const { return PathIn(samples, name); }

    // Chooses entry `row` of the file list with a mouse click, as a user does.
    void Choose(int row) {
        QListWidget* list = ctl.FileListBox1;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    // Clicks entry `row` of a list.
    void Click(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    // Line k of the counter list.
    QString Line(int k) const { return ctl.ListBox2->item(k)->text(); }

    // Everything a refused picture must leave as it was.
    std::vector<uint8_t> Snapshot() const {
        std::vector<uint8_t> s(&S.Planes.P[0][0][0], &S.Planes.P[0][0][0] + sizeof S.Planes.P);
        for (const TBitmap* b :
             {static_cast<const TBitmap*>(&S.Grid), &PaintBox1Bitmap(), &PaintBox2Bitmap()})
            s.insert(s.end(), b->Pixels.begin(), b->Pixels.end());
        return s;
    }
};
