// The window's scan: the passes it runs through the session, the bar that
// follows them, and one drawing of the area map at the end; and what it
// shows is the same whether the session scores on one worker or two.
#include "main/uMain.h"
#include "session/session.h"

#include "support/session_fingerprint.h"
#include "support/test_pictures.h"
#include "support/window_controls.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WindowScan, SweepsWithoutRedrawingAndShowsTheAreaMapAtTheEnd) {
    TfrmMain::TOptions options;
    options.SamplesDir = "/nonexistent";
    options.MessageBox = [](QMessageBox::Icon, const QString&, const QString&,
                            QMessageBox::StandardButtons) { return QMessageBox::Ok; };
    TfrmMain form(std::move(options));
    std::vector<int> passes;
    // The plane view lists and clears the counters each time it draws: a
    // counter raised by every pass shows how many passes ran since it last drew.
    form.UseAreaPass([&](TSession& s, const TPassOptions& o, TPassObserver& observer) {
        passes.push_back(o.Threshold);
        s.Areas.LevelScores[o.Threshold] = o.Threshold == 10 ? 5.0 : 0.0;
        s.Areas.OpCounters[5] += 1;
        observer.ThresholdChosen(o.Threshold);
        return TPassResult{};
    });
    form.ScanClick();
    auto* counters = form.findChild<QListWidget*>("ListBox2");
    EXPECT_EQ(counters->item(5)->text(), "5 : 41") << "31 + 10 passes, then one drawing";
    EXPECT_EQ(form.findChild<QListWidget*>("ListBox1")->currentRow(), 3);
    EXPECT_EQ(form.findChild<QScrollBar*>("ScrollBar2")->value(), 10);
    EXPECT_EQ(passes.size(), 41u) << "the result is where the sweeps ended: no extra pass";
}

// Everything the window shows after a scan, as text and bytes: the
// controls, the counters, both paint boxes and the boxes it showed.
struct TShown {
    std::vector<std::string> controls;
    std::vector<uint8_t> paintBoxes, session;
    bool operator==(const TShown&) const = default;
};

TShown ScanInWindow(const std::string& picture, bool byPlane, int plane, int workers) {
    const auto session = NewSession(workers);
    std::vector<std::string> boxes;
    TfrmMain form(TestWindowOptions("/nonexistent", session.get(),
                                    [&](QMessageBox::Icon, const QString&, const QString& text) {
                                        boxes.push_back(text.toStdString());
                                    }));
    const TControls c = Controls(form);
    c.cbByPriznak->setChecked(byPlane);
    form.ChooseFile(picture);
    {
        const QSignalBlocker block(c.ListBox1);
        c.ListBox1->setCurrentRow(plane);
    }
    form.ListBox1Click();
    c.Scan->click();
    const TWindowSnapshot s = form.Snapshot();
    TShown shown;
    shown.controls = boxes;
    shown.controls.push_back("bar " + std::to_string(s.ScrollBar2) + " label " +
                             s.Label1.toStdString());
    for (const QString& line : s.ListBox2) shown.controls.push_back(line.toStdString());
    for (const TBitmap* b : {s.PaintBox1, s.PaintBox2})
        shown.paintBoxes.insert(shown.paintBoxes.end(), b->Pixels.begin(), b->Pixels.end());
    shown.session = Fingerprint(*session);
    return shown;
}

TEST(WindowScan, ShowsTheSameOnOneWorkerAndOnTwo) {
    QTemporaryDir dir;
    const std::string comb = dir.path().toStdString() + "/comb.bmp";
    WriteBmp24(comb, 256, 256, [](int x, int y) -> TRGB {
        if (x == 3 && y == 3) return {0, 0, 0};
        return x % 2 == 1 && y != 128 ? TRGB{255, 255, 255} : TRGB{10, 10, 10};
    });
    const std::string samples = std::string(TESSA_SOURCE_DIR) + "/samples/";
    struct TCase {
        std::string picture;
        bool byPlane;
        int plane;
    };
    for (const TCase& k :
         {TCase{samples + "coffee.jpg", false, 12}, TCase{samples + "bricks.bmp", true, 10},
          TCase{comb, true, aV}, TCase{samples + "cell.jpg", true, aArH}}) {
        SCOPED_TRACE(k.picture + " plane " + std::to_string(k.plane));
        const TShown one = ScanInWindow(k.picture, k.byPlane, k.plane, 1);
        const TShown two = ScanInWindow(k.picture, k.byPlane, k.plane, 2);
        EXPECT_EQ(one.controls, two.controls);
        EXPECT_TRUE(one.paintBoxes == two.paintBoxes) << "the paint boxes differ";
        EXPECT_TRUE(one.session == two.session) << "the sessions differ";
        if (k.picture == comb) {
            EXPECT_GT(one.controls.size(), 11u) << "the comb's scan warns";
        }
    }
}

} // namespace
