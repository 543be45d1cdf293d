// --sweep: the batch writes, for each picture, sweep.csv as the window's
// session sweeps after the user's same choice (the automatic pass, the scan
// on plane aV, a threshold), and sweep.png, the plot of it; without --sweep
// neither file is written and the option is kept with the run's choice.
#include "batch_tool.h"

#include "csv.h"
#include "gui/window_under_test.h"
#include "options.h"
#include "session/sweep.h"
#include "session/sweep_files.h"

#include <QImage>

#include <functional>

namespace {

struct SweepInBatch : TWindowUnderTest {
    QTemporaryDir out;
    const std::string picture = TESSA_SOURCE_DIR "/samples/cell.jpg";

    std::map<std::string, std::string> Batch(const QStringList& args) {
        const std::string dir = out.path().toStdString() + "/batch";
        std::filesystem::remove_all(dir);
        const TToolRun run = RunBatchTool(
            QStringList{QString::fromStdString(picture), "-o", QString::fromStdString(dir)} + args);
        EXPECT_EQ(run.Status, 0) << run.Err;
        return FilesUnder(dir + "/cell.jpg");
    }

    // The sweep of the window's session after the same choice, with the
    // options the window's controls give.
    std::string WindowSweep(const std::function<void()>& choose) {
        Open();
        choose();
        TPassOptions o;
        o.ByPlane = ctl.cbByPriznak->isChecked();
        o.Plane = ctl.ListBox1->currentRow();
        return SweepCsv(SweepThresholds(S, o, ctl.ScrollBar2->value()));
    }
};

TEST_F(SweepInBatch, WritesTheSweepOfTheWindowsSession) {
    const struct {
        const char* name;
        QStringList args;
        std::function<void(TControls&)> before, after;
    } cases[] = {
        {"automatic", {}, {}, {}},
        {"scan on aV",
         {"--scan", "--plane", "aV"},
         [](TControls& c) {
             const QSignalBlocker block(c.ListBox1);
             c.ListBox1->setCurrentRow(aV);
             c.cbByPriznak->setChecked(true);
             c.cbScan->setChecked(true);
         },
         {}},
        {"threshold 99",
         {"--threshold", "99"},
         {},
         [](TControls& c) { c.ScrollBar2->setValue(99); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string window = WindowSweep([&] {
            if (c.before) c.before(ctl);
            ASSERT_TRUE(form->ChooseFile(picture));
            if (c.after) c.after(ctl);
        });
        const auto files = Batch(QStringList{"--sweep"} + c.args);
        ASSERT_TRUE(files.count("sweep.csv"));
        EXPECT_EQ(files.at("sweep.csv"), window);
        const std::vector<TCsvRow> rows = ParseCsv(files.at("sweep.csv"));
        ASSERT_EQ(rows.size(), 257u);
        EXPECT_EQ(rows[0], (TCsvRow{"threshold", "areas", "raised_level", "rejected_last", "score",
                                    "area_pixels"}));
        for (int t = 0; t < 256; ++t) EXPECT_EQ(rows[size_t(t) + 1][0], std::to_string(t));

        ASSERT_TRUE(files.count("sweep.png"));
        const std::string& png = files.at("sweep.png");
        const QImage plot =
            QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
        EXPECT_EQ(plot.size(), QSize(960, 540));
        form.reset();
    }
}

TEST_F(SweepInBatch, OnlyWithTheOptionAndKeptWithTheChoice) {
    const auto files = Batch({});
    EXPECT_FALSE(files.count("sweep.csv"));
    EXPECT_FALSE(files.count("sweep.png"));
    EXPECT_TRUE(files.count("areas.csv"));

    const TBatchOptions o = ParseBatchArguments({"a.jpg", "-o", "out", "--sweep"});
    EXPECT_TRUE(o.Choice.Sweep);
    EXPECT_EQ(ChoiceLine(o.Choice), "automatic, mix, sweep");
    EXPECT_FALSE(ParseBatchArguments({"a.jpg", "-o", "out"}).Choice.Sweep);
    EXPECT_THROW(ParseBatchArguments({"--merge", "x", "--sweep"}), TUsageError);
    EXPECT_NE(BatchUsage().find("--sweep"), std::string::npos);
}

} // namespace
