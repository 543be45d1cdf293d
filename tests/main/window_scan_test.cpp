// The window's scan: the passes it runs through the session, the bar that
// follows them, and one drawing of the area map at the end; and what it
// shows is the same whether the session scores on one worker or two.
#include "main/uMain.h"
#include "session/analysis.h"
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

// The thresholds of the passes the window runs, as it tells them.
struct TThresholds : TPassObserver {
    std::vector<int> seen;
    void ThresholdChosen(int32_t t) override { seen.push_back(t); }
};

TEST(WindowScan, SweepsWithoutRedrawingAndShowsTheAreaMapAtTheEnd) {
    const std::string samples = std::string(TESSA_SOURCE_DIR) + "/samples/";
    for (const char* name : {"coffee.jpg", "bricks.bmp", "shapes.jpg"}) {
        SCOPED_TRACE(name);
        TThresholds watched;
        TfrmMain::TOptions options = TestWindowOptions("/nonexistent");
        options.PassWatcher = &watched;
        TfrmMain form(std::move(options));
        form.ChooseFile(samples + name);
        // The same steps on a session of the test's own, never drawn, so
        // that its counters add up over the scan.
        const auto twin = NewSession();
        struct TQuiet : TAnalysisObserver {
            TThresholds* record = nullptr;
            void ThresholdChosen(int32_t t) override {
                if (record) record->ThresholdChosen(t);
            }
        } quiet;
        TThresholds twinSeen;
        ChoosePicture(*twin, samples + name, twin->Placement);
        AnalyseChosen(*twin, {}, quiet);
        for (int64_t& c : twin->Areas.OpCounters) c = 0;
        watched.seen.clear();
        quiet.record = &twinSeen;

        const int32_t barBefore = twin->ThresholdBar;
        EXPECT_EQ(form.Snapshot().ScrollBar2, barBefore);
        form.ScanClick();
        const TAnalysed scan = RunScan(*twin, {}, quiet);
        const TWindowSnapshot shown = form.Snapshot();
        EXPECT_EQ(shown.ScrollBar2, scan.Scan->Result);
        EXPECT_EQ(twin->ThresholdBar, scan.Scan->Result);
        EXPECT_EQ(shown.ListBox1, 3);
        EXPECT_EQ(shown.ShownPlane, 3);
        EXPECT_EQ(watched.seen, twinSeen.seen) << "the window's passes are the session's";
        EXPECT_GE(watched.seen.size(), 31u - 1u + 9u);
        EXPECT_LE(watched.seen.size(), 31u + 17u + 1u);
        ASSERT_FALSE(watched.seen.empty());
        EXPECT_EQ(watched.seen.back(), scan.Scan->Result);
        EXPECT_EQ(watched.seen[0], barBefore == 8 ? 16 : 8) << "the coarse sweep first";
        // The plane view draws once at the end, listing the counters of the
        // whole scan; when the bar then moves to the result, that pass's
        // drawing lists them and the scan's own drawing lists them cleared.
        for (int k = 0; k < 9; ++k)
            EXPECT_EQ(shown.ListBox2[size_t(k)].toStdString(),
                      std::to_string(k) + " : " +
                          std::to_string(scan.PassAtResult ? 0 : twin->Areas.OpCounters[k]))
                << k;
    }
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
