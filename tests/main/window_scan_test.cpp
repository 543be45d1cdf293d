// The window's scan: the passes it runs through the session, the bar that
// follows them, and one drawing of the area map at the end.
#include "main/uMain.h"
#include "session/session.h"

#include <QListWidget>
#include <QScrollBar>
#include <gtest/gtest.h>

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

} // namespace
