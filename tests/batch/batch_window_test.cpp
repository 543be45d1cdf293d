// The batch against the window: for each choice (automatic, --threshold,
// --scan, --plane, --keep-grid) the files the batch writes for a picture are
// byte for byte the export of what a freshly started window's session holds
// after the user's same choice, and its summary row is what the window shows.
#include "batch_tool.h"

#include "csv.h"
#include "gui/window_under_test.h"
#include "session/export.h"

#include <functional>

namespace fs = std::filesystem;

namespace {

struct TChoiceCase {
    const char* Name;
    QStringList Args;
    std::function<void(TControls&)> Before; // set before the picture is chosen
    std::function<void(TControls&)> After;  // done after it
    TPlacement Placement = {};              // chosen in the window before the picture
};

void PrintTo(const TChoiceCase& c, std::ostream* os) {
    *os << c.Name;
}

struct BatchAgainstWindow : TWindowUnderTest, ::testing::WithParamInterface<TChoiceCase> {
    QTemporaryDir out;
    std::string Dir(const char* name) const { return out.path().toStdString() + "/" + name; }

    // The export of the window's session, with the area view as it shows it
    // and its PNG pictures stored, as the batch writes them.
    std::map<std::string, std::string> WindowExport(bool scanned) {
        TExportOptions e;
        e.AreaView = &PaintBox2Bitmap();
        e.StoredPngs = true;
        // The scan settles on its best threshold, whose score is its best.
        if (scanned) e.ScanBestScore = S.Areas.LevelScores[S.LastPass->Threshold];
        ExportAnalysis(S, Dir("window"), e);
        return FilesUnder(Dir("window"));
    }

    TCsvRow SummaryRow(const std::string& dir, size_t row) {
        const std::vector<TCsvRow> rows = ParseCsv(ReadFile(dir + "/summary.csv"));
        return rows.at(row + 1);
    }
};

TEST_P(BatchAgainstWindow, WritesTheExportOfTheWindowsSession) {
    const TChoiceCase& c = GetParam();
    const std::string picture = TESSA_SOURCE_DIR "/samples/coffee.jpg";
    Open();
    form->SetPlacement(c.Placement);
    if (c.Before) c.Before(ctl);
    ASSERT_TRUE(form->ChooseFile(picture));
    if (c.After) c.After(ctl);
    const bool scanned = c.Args.contains("--scan");
    const auto window = WindowExport(scanned);

    const TToolRun run =
        RunBatchTool(QStringList{QString::fromStdString(picture), "-o",
                                 QString::fromStdString(Dir("batch")), "--planes"} +
                     c.Args);
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto batch = ExportedFilesUnder(Dir("batch") + "/coffee.jpg");
    ASSERT_EQ(window.size(), 25u) << "five files and twenty planes";
    for (const auto& [name, bytes] : window)
        EXPECT_TRUE(batch.count(name) && batch.at(name) == bytes) << name;
    EXPECT_EQ(batch.size(), window.size());

    const TCsvRow row = SummaryRow(Dir("batch"), 0);
    EXPECT_EQ(row[3], std::to_string(ctl.ScrollBar2->value())) << "threshold";
    EXPECT_EQ(row[4], std::to_string(S.Areas.Level)) << "raised level";
    EXPECT_EQ(row[5], std::to_string(S.LastPass->KeptAreas)) << "areas";
    EXPECT_EQ(row[6], ctl.Label1->text().toStdString()) << "rejected last";
    EXPECT_EQ(row[7].empty(), !scanned) << "best score";
    const TPlacement& p = S.Picture.Placement;
    EXPECT_EQ(row[10], p.Kind == TPlacement::Part
                           ? "part " + std::to_string(p.X) + " " + std::to_string(p.Y)
                       : p.Kind == TPlacement::Fit ? "fit " + std::to_string(p.K)
                                                   : "top-left")
        << "placement";
    if (c.Placement.Kind == TPlacement::Part) {
        EXPECT_EQ(row[10], "part 128 0");
    } else if (c.Placement.Kind == TPlacement::Fit) {
        EXPECT_EQ(row[10], "fit 2");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BatchAgainstWindow,
    ::testing::Values(
        TChoiceCase{"Automatic", {}, {}, {}},
        // The bar moved away from the automatic threshold (51) runs the pass at 120.
        TChoiceCase{"Threshold",
                    {"--threshold", "120"},
                    {},
                    [](TControls& c) { c.ScrollBar2->setValue(120); }},
        TChoiceCase{"Scan", {"--scan"}, [](TControls& c) { c.cbScan->setChecked(true); }, {}},
        TChoiceCase{"Plane",
                    {"--plane", "aNo3"},
                    [](TControls& c) {
                        const QSignalBlocker block(c.ListBox1);
                        c.ListBox1->setCurrentRow(2);
                        c.cbByPriznak->setChecked(true);
                    },
                    {}},
        // coffee.jpg is 384 x 256: the part's corner is clamped to 128,0.
        TChoiceCase{"Part", {"--part", "300,40"}, {}, {}, {TPlacement::Part, 300, 40}},
        TChoiceCase{"Fit", {"--fit"}, {}, {}, {TPlacement::Fit}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct KeepGrid : TWindowUnderTest {};

// A small picture after a large one keeps the large one's pixels around it.
TEST_F(KeepGrid, SmallPictureAfterALargeOneAsTheWindowShowsIt) {
    QTemporaryDir tmp;
    const std::string pics = tmp.path().toStdString() + "/pics", out = tmp.path().toStdString();
    fs::create_directories(pics);
    fs::copy_file(TESSA_SOURCE_DIR "/samples/strokes.jpg", pics + "/a-large.jpg");
    fs::copy_file(TESSA_SOURCE_DIR "/samples/noise.Bmp", pics + "/b-small.bmp");
    Open();
    ASSERT_TRUE(form->ChooseFile(pics + "/a-large.jpg"));
    ASSERT_TRUE(form->ChooseFile(pics + "/b-small.bmp"));
    TExportOptions e;
    e.AreaView = &PaintBox2Bitmap();
    e.StoredPngs = true;
    ExportAnalysis(S, out + "/window", e);
    const auto window = FilesUnder(out + "/window");

    const QString in = QString::fromStdString(pics);
    const auto small = [&](const char* dir) {
        return ExportedFilesUnder(out + "/" + dir + "/b-small.bmp");
    };
    ASSERT_EQ(
        RunBatchTool({in, "-o", QString::fromStdString(out + "/kept"), "--keep-grid", "--planes"})
            .Status,
        0);
    EXPECT_TRUE(small("kept") == window);
    // The second share alone still lands its picture on what the first left.
    ASSERT_EQ(RunBatchTool({in, "-o", QString::fromStdString(out + "/share"), "--keep-grid",
                            "--planes", "--shard", "2/2"})
                  .Status,
              0);
    EXPECT_FALSE(fs::exists(out + "/share/a-large.jpg"));
    EXPECT_TRUE(small("share") == window);
    ASSERT_EQ(RunBatchTool({in, "-o", QString::fromStdString(out + "/fresh"), "--planes"}).Status,
              0);
    EXPECT_FALSE(small("fresh") == window) << "without --keep-grid each picture lands on white";
}

} // namespace
