// tessavorin-batch run as a user runs it, without a display: the summary and
// folders of a run with a broken picture, the exit statuses, -j 2 against
// -j 1, shards merged against the whole, a killed run resumed, and what it
// prints where.
#include "batch_tool.h"

#include "csv.h"
#include "image/intake.h"
#include "image/picture_error.h"
#include "picture_list.h"
#include "session/result_folder.h"
#include "support/json.h"

#include <QTemporaryDir>

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct BatchRun : ::testing::Test {
    QTemporaryDir tmp;
    std::string pics = tmp.path().toStdString() + "/pics";
    int good = SamplesWithABrokenOne(pics);
    std::string Out(const char* name) const { return tmp.path().toStdString() + "/" + name; }
    QString Q(const std::string& s) const { return QString::fromStdString(s); }
};

TEST_F(BatchRun, GoodPicturesGetCompleteFoldersTheBrokenOneItsErrorRowAndStatusOne) {
    const std::string out = Out("out");
    const TToolRun run = RunBatchTool({Q(pics), "-o", Q(out), "-j", "2"});
    EXPECT_EQ(run.Status, 1) << run.Err;

    const std::string summary = ReadFile(out + "/summary.csv");
    EXPECT_EQ(summary.substr(0, summary.find("\r\n")),
              "picture,width,height,threshold,raised_level,areas,rejected_last,best_score,"
              "status,message,placement");
    std::vector<TCsvRow> rows = ParseCsv(summary);
    rows.erase(rows.begin());
    ASSERT_EQ(rows.size(), size_t(good + 1));
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_TRUE(PathBefore(rows[i - 1][0], rows[i][0])) << "name order: " << rows[i][0];

    std::string expectedError;
    try {
        TBitmap grid;
        CreateBitmap(grid, 256, 256);
        LoadPicture(pics + "/broken.jpg", grid);
    } catch (const TPictureError& e) {
        expectedError = e.what();
    }
    expectedError.resize(expectedError.rfind(" Choose another file."));

    for (const TCsvRow& r : rows) {
        const std::string name = fs::path(r[0]).filename().string();
        if (name == "broken.jpg") {
            EXPECT_EQ(r, (TCsvRow{pics + "/broken.jpg", "", "", "", "", "", "", "", "error",
                                  expectedError, ""}));
            EXPECT_FALSE(fs::exists(out + "/broken.jpg"));
            continue;
        }
        EXPECT_EQ(r[8], "ok") << r[0];
        EXPECT_EQ(r[10], "top-left") << r[0];
        std::set<std::string> files;
        for (const auto& [f, bytes] : FilesUnder(out + "/" + name)) files.insert(f);
        EXPECT_EQ(files, (std::set<std::string>{ResultMarkFile, "analysis.json", "areas.csv",
                                                "area-map.png", "area-view.png", "labels.png"}))
            << name;
        const TJson j = TJsonReader::Parse(ReadFile(out + "/" + name + "/analysis.json"));
        EXPECT_EQ(j["picture"].s, r[0]);
        const char* keys[] = {"width",        "height", "threshold",
                              "raised_level", "areas",  "rejected_last"};
        for (size_t c = 0; c < 6; ++c)
            EXPECT_EQ(r[c + 1], std::to_string(int(j[keys[c]].n))) << name << " " << keys[c];
        EXPECT_EQ(r[7], "") << "no best score without --scan";
    }
    for (const auto& e : fs::directory_iterator(out))
        EXPECT_NE(e.path().filename().string()[0], '.') << "left behind: " << e.path();

    // Not a terminal: one line per picture, then the closing line.
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), good + 2) << run.Out;
    EXPECT_NE(run.Out.find("error " + pics + "/broken.jpg: " + expectedError), std::string::npos);
    EXPECT_EQ(run.Out.find('\r'), std::string::npos);
}

TEST_F(BatchRun, TwoAtATimeGiveExactlyWhatOneAtATimeGives) {
    for (const QStringList& options : {QStringList{"--planes"}, QStringList{"--scan"}}) {
        const std::string one = Out("one"), two = Out("two");
        fs::remove_all(one);
        fs::remove_all(two);
        EXPECT_EQ(RunBatchTool(QStringList{Q(pics), "-o", Q(one), "-j", "1"} + options).Status, 1);
        EXPECT_EQ(RunBatchTool(QStringList{Q(pics), "-o", Q(two), "-j", "2"} + options).Status, 1);
        const auto a = FilesUnder(one), b = FilesUnder(two);
        EXPECT_GT(a.size(), size_t(4 * good)) << options.join(' ').toStdString();
        EXPECT_TRUE(a == b) << options.join(' ').toStdString();
    }
}

TEST_F(BatchRun, SharesTogetherAreTheWholeRunAndMergeToItsSummary) {
    const std::string whole = Out("whole");
    EXPECT_EQ(RunBatchTool({Q(pics), "-o", Q(whole)}).Status, 1);
    std::map<std::string, std::string> shardFiles;
    QStringList shards;
    for (int k = 1; k <= 3; ++k) {
        const std::string dir = Out("shard") + std::to_string(k);
        const TToolRun run =
            RunBatchTool({Q(pics), "-o", Q(dir), "--shard", QString("%1/3").arg(k)});
        EXPECT_TRUE(run.Status == 0 || run.Status == 1) << run.Err;
        for (auto& [f, bytes] : FilesUnder(dir)) {
            if (f == "summary.csv" || f == "batch-options.txt") continue;
            EXPECT_TRUE(shardFiles.emplace(f, bytes).second) << f << " in two shards";
        }
        shards << Q(dir);
    }
    std::map<std::string, std::string> wholeFiles = FilesUnder(whole);
    const std::string summary = wholeFiles["summary.csv"];
    wholeFiles.erase("summary.csv");
    wholeFiles.erase("batch-options.txt");
    EXPECT_TRUE(shardFiles == wholeFiles);

    const TToolRun merged = RunBatchTool(QStringList{"--merge"} + shards);
    EXPECT_EQ(merged.Status, 1) << "a row with an error";
    EXPECT_EQ(merged.Out, summary);
    EXPECT_EQ(RunBatchTool(QStringList{"--merge", "-o", Q(Out("merged"))} + shards).Status, 1);
    EXPECT_EQ(ReadFile(Out("merged") + "/summary.csv"), summary);
    EXPECT_EQ(RunBatchTool({"--merge", shards[0], shards[0]}).Status, 2) << "the same rows twice";
    EXPECT_EQ(RunBatchTool({"--merge", Q(pics)}).Status, 2) << "no summary there";
}

TEST_F(BatchRun, AKilledRunLeavesOnlyCompleteFoldersAndResumingGivesTheWholeRun) {
    const std::string whole = Out("whole"), out = Out("out");
    EXPECT_EQ(RunBatchTool({Q(pics), "-o", Q(whole), "--scan", "-j", "1"}).Status, 1);

    QProcess p;
    StartBatchTool(p, {Q(pics), "-o", Q(out), "--scan", "-j", "1"});
    int lines = 0;
    while (lines < 3 && p.waitForReadyRead(60000))
        while (p.canReadLine()) lines += p.readLine().startsWith("[") ? 1 : 0;
    p.kill();
    p.waitForFinished();
    ASSERT_GE(lines, 3);
    std::map<std::string, ino_t> kept;
    for (const auto& e : fs::directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        if (!e.is_directory() || name[0] == '.') continue;
        EXPECT_TRUE(fs::exists(e.path() / "analysis.json")) << name << " is incomplete";
        struct stat st {};
        stat((e.path() / "analysis.json").c_str(), &st);
        kept[name] = st.st_ino;
    }
    ASSERT_GE(kept.size(), 2u);
    ASSERT_LT(kept.size(), size_t(good)) << "the run was killed before its end";

    const TToolRun resumed = RunBatchTool({Q(pics), "-o", Q(out), "--scan", "--resume", "-j", "2"});
    EXPECT_EQ(resumed.Status, 1) << resumed.Err;
    EXPECT_TRUE(FilesUnder(out) == FilesUnder(whole));
    for (const auto& [name, inode] : kept) {
        struct stat st {};
        stat((out + "/" + name + "/analysis.json").c_str(), &st);
        EXPECT_EQ(st.st_ino, inode) << name << " was made again";
        EXPECT_NE(resumed.Out.find("kept " + pics + "/" + name), std::string::npos);
    }
    // Resuming with other options would mix two kinds of results.
    const TToolRun other = RunBatchTool({Q(pics), "-o", Q(out), "--resume"});
    EXPECT_EQ(other.Status, 2);
    EXPECT_NE(other.Err.find("other options"), std::string::npos) << other.Err;
}

// A resumed run reads each kept picture's placement back from its folder:
// the summary is that of the first run.
TEST_F(BatchRun, ResumingAPlacedRunKeepsEachPicturesPlacement) {
    for (const char* placement : {"--fit", "--part"}) {
        const std::string out = Out(placement);
        const bool fit = std::string(placement) == "--fit";
        QStringList args{Q(pics), "-o", Q(out), placement};
        if (!fit) args << "150,70";
        EXPECT_EQ(RunBatchTool(args).Status, 1);
        const std::string first = ReadFile(out + "/summary.csv");
        const TToolRun resumed = RunBatchTool(args + QStringList{"--resume"});
        EXPECT_EQ(resumed.Status, 1);
        EXPECT_EQ(ReadFile(out + "/summary.csv"), first) << placement;
        EXPECT_NE(first.find(fit ? ",fit 2\r\n" : ",part 150 70\r\n"), std::string::npos) << first;
    }
}

TEST_F(BatchRun, BadUsageIsStatusTwoAndTouchesNothing) {
    const std::string out = Out("out");
    for (const QStringList& args :
         {QStringList{Q(pics), "-o", Q(out), "--threshold", "300"}, QStringList{Q(pics)},
          QStringList{Q(pics), "-o", Q(out), "--list", Q(Out("no-such-list"))}}) {
        const TToolRun run = RunBatchTool(args);
        EXPECT_EQ(run.Status, 2) << args.join(' ').toStdString();
        EXPECT_NE(run.Err.find("--help"), std::string::npos) << run.Err;
    }
    EXPECT_FALSE(fs::exists(out));
    const TToolRun help = RunBatchTool({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("--shard K/N"), std::string::npos);
    // An empty share is a run of no pictures, so that any number of shards works.
    EXPECT_EQ(RunBatchTool({Q(pics + "/cell.jpg"), "-o", Q(out), "--shard", "1/2"}).Status, 0);
    EXPECT_EQ(ReadFile(out + "/summary.csv"),
              "picture,width,height,threshold,raised_level,areas,rejected_last,best_score,status,"
              "message,placement\r\n");
}

TEST_F(BatchRun, QuietSaysNothingAndATerminalSeesOneLineRewritten) {
    const TToolRun quiet = RunBatchTool({Q(pics), "-o", Q(Out("q")), "-q"});
    EXPECT_EQ(quiet.Status, 1);
    EXPECT_EQ(quiet.Out + quiet.Err, "");

    // The tool on a terminal of its own; what it needs is made before the
    // fork, since the child of a threaded process may only exec.
    const std::string tool = BatchTool().toStdString(), out = Out("t");
    std::vector<const char*> argv{tool.c_str(), pics.c_str(), "-o",   out.c_str(),
                                  "-j",         "1",          nullptr};
    std::vector<const char*> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0) env.push_back(*e);
    env.push_back(nullptr);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execve(argv[0], const_cast<char**>(argv.data()), const_cast<char**>(env.data()));
        _exit(127);
    }
    std::string shown;
    char buf[4096];
    for (ssize_t n; (n = read(terminal, buf, sizeof buf)) > 0;) shown.append(buf, size_t(n));
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(shown.find("\r\033[K"), std::string::npos) << shown;
    EXPECT_NE(
        shown.find(std::to_string(good + 1) + " of " + std::to_string(good + 1) + " pictures"),
        std::string::npos)
        << shown;
    EXPECT_NE(shown.find("1 failed"), std::string::npos) << shown;
    EXPECT_NE(shown.find("error " + pics + "/broken.jpg"), std::string::npos) << "on its own line";
}

TEST(BatchTool, LinksNoWidgets) {
    QProcess readelf;
    readelf.start("readelf", {"-d", BatchTool()});
    ASSERT_TRUE(readelf.waitForFinished());
    const QString needed = readelf.readAllStandardOutput();
    EXPECT_TRUE(needed.contains("libQt6Gui")) << needed.toStdString();
    EXPECT_FALSE(needed.contains("Widgets")) << needed.toStdString();
}

} // namespace
