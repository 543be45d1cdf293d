// The batch's output rules, run as a user runs the tool on real files: it
// never writes among the pictures, never touches a file of the user's, asks
// for --overwrite before replacing results made otherwise, keeps one run per
// output folder, resumes exactly, and merges only summaries that go together.
#include "batch_tool.h"

#include "csv.h"
#include "session/result_folder.h"
#include "session/utf8_text.h"
#include "support/test_pictures.h"

#include <QImage>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct OutputRules : ::testing::Test {
    QTemporaryDir tmp;
    std::string pics = tmp.path().toStdString() + "/pics";
    int good = SamplesWithABrokenOne(pics);
    std::string Out(const char* name) const { return tmp.path().toStdString() + "/" + name; }
    static QString Q(const std::string& s) { return QString::fromStdString(s); }
    // The summary's rows by picture path.
    static std::map<std::string, TCsvRow> Rows(const std::string& out) {
        std::map<std::string, TCsvRow> rows;
        std::vector<TCsvRow> all = ParseCsv(ReadFile(out + "/summary.csv"));
        for (size_t i = 1; i < all.size(); ++i) rows[all[i][0]] = all[i];
        return rows;
    }
};

TEST_F(OutputRules, AnOutputFolderThePicturesAreReadFromIsRefusedAndNothingChanges) {
    const auto before = FilesUnder(pics);
    for (const QStringList& args :
         {QStringList{Q(pics), "-o", Q(pics)}, QStringList{Q(pics), "-r", "-o", Q(pics)},
          QStringList{Q(pics + "/coffee.jpg"), "-o", Q(pics + "/.")}}) {
        const TToolRun run = RunBatchTool(args);
        EXPECT_EQ(run.Status, 2) << args.join(' ').toStdString();
        EXPECT_NE(run.Err.find("/analysis"), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(FilesUnder(pics) == before) << "pictures byte for byte, nothing written";
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(pics), {})), before.size());
}

TEST_F(OutputRules, AFileOfTheUsersNamedLikeAResultIsLeftAloneAndTheRunGoesOn) {
    const std::string out = Out("out");
    fs::create_directories(out + "/cell.jpg");
    std::ofstream(out + "/coffee.jpg") << "the user's own";
    std::ofstream(out + "/cell.jpg/notes.txt") << "notes";
    const TToolRun run = RunBatchTool({Q(pics), "-o", Q(out)});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(ReadFile(out + "/coffee.jpg"), "the user's own");
    EXPECT_EQ(FilesUnder(out + "/cell.jpg").size(), 1u);
    auto rows = Rows(out);
    ASSERT_EQ(rows.size(), size_t(good + 1));
    EXPECT_EQ(rows[pics + "/coffee.jpg"][9], NotOursMessage(out + "/coffee.jpg"));
    EXPECT_EQ(rows[pics + "/cell.jpg"][8], "error");
    EXPECT_EQ(rows[pics + "/rocket.jpg"][8], "ok") << "the run went on";
    EXPECT_TRUE(IsCompleteResultFolder(out, "rocket.jpg", false));
    EXPECT_TRUE(fs::exists(out + "/batch-options.txt")) << "every folder of ours agrees";
}

// The run's own files, summary.csv and batch-options.txt, replace only
// files this program made: a user's file of either name stops the run and
// the merge before anything is written; a re-run over our own goes ahead.
TEST_F(OutputRules, AUsersSummaryOrOptionsFileInTheOutputFolderIsRefusedAndKept) {
    for (const char* name : {"summary.csv", "batch-options.txt"}) {
        const std::string out = Out(name) + "-out", file = out + "/" + name;
        fs::create_directories(out);
        std::ofstream(file) << "automatic, my own notes\n";
        const TToolRun run = RunBatchTool({Q(pics), "-o", Q(out)});
        EXPECT_EQ(run.Status, 2) << name;
        EXPECT_NE(run.Err.find("\"" + file + "\" already exists and is not a file of this program"),
                  std::string::npos)
            << run.Err;
        EXPECT_EQ(FilesUnder(out),
                  (std::map<std::string, std::string>{{name, "automatic, my own notes\n"}}));
    }
    const std::string out = Out("ours");
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1);
    EXPECT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1) << "our own files are replaced";

    const std::string merged = Out("summary.csv-out");
    const TToolRun merge = RunBatchTool({"--merge", Q(out), "-o", Q(merged)});
    EXPECT_EQ(merge.Status, 2);
    EXPECT_EQ(ReadFile(merged + "/summary.csv"), "automatic, my own notes\n");
    EXPECT_EQ(RunBatchTool({"--merge", Q(out), "-o", Q(out)}).Status, 1);
}

TEST_F(OutputRules, OtherOptionsAreRefusedUnlessOverwriteWhichRemovesOnlyOurStaleFolders) {
    const std::string out = Out("out");
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1);
    std::ofstream(out + "/mine.txt") << "mine";
    const auto before = FilesUnder(out);
    const TToolRun refused = RunBatchTool({Q(pics), "-o", Q(out), "--threshold", "50"});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_NE(refused.Err.find("--overwrite"), std::string::npos) << refused.Err;
    EXPECT_TRUE(FilesUnder(out) == before) << "nothing changed";

    fs::remove(pics + "/rocket.jpg"); // its folder is now stale
    const TToolRun replaced =
        RunBatchTool({Q(pics), "-o", Q(out), "--threshold", "50", "--overwrite"});
    EXPECT_EQ(replaced.Status, 1) << replaced.Err;
    EXPECT_FALSE(fs::exists(out + "/rocket.jpg"));
    EXPECT_EQ(ReadFile(out + "/mine.txt"), "mine");
    EXPECT_EQ(ResultFoldersUnder(out).size(), size_t(good - 1));
    for (const std::string& name : ResultFoldersUnder(out))
        EXPECT_EQ(ReadResultMark(out + "/" + name)->Options, "threshold 50, mix") << name;
    EXPECT_EQ(ReadFile(out + "/batch-options.txt").substr(0, 18), "threshold 50, mix\n");
    EXPECT_EQ(Rows(out).size(), size_t(good)) << "the summary describes the folders present";
}

// A second run over fewer pictures with the same options keeps the other
// folders of the first, and its summary and record name every folder there.
TEST_F(OutputRules, ARunOverFewerPicturesKeepsTheOthersFoldersAndNamesThemAll) {
    const std::string out = Out("out");
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1);
    const auto first = Rows(out);
    const TToolRun second = RunBatchTool({Q(pics + "/rocket.jpg"), "-o", Q(out)});
    ASSERT_EQ(second.Status, 0) << second.Err;
    const auto rows = Rows(out);
    EXPECT_EQ(rows.size(), size_t(good)) << "every folder, not the broken picture's row";
    for (const auto& [picture, row] : rows) EXPECT_EQ(row, first.at(picture)) << picture;
    EXPECT_EQ(ResultFoldersUnder(out).size(), rows.size());
    EXPECT_NE(ReadFile(out + "/batch-options.txt").find("pictures: " + std::to_string(good)),
              std::string::npos);
    EXPECT_EQ(RunBatchTool({"--merge", Q(out)}).Status, 0) << "the record agrees with it";
}

TEST_F(OutputRules, ARecursiveRunNeverReadsPicturesInsideResultFolders) {
    ASSERT_EQ(RunBatchTool({Q(pics), "-r", "-o", Q(pics + "/analysis"), "--planes"}).Status, 1);
    const auto first = Rows(pics + "/analysis");
    EXPECT_EQ(first.size(), size_t(good + 1));
    // Into another folder, the first run's results stand among the pictures.
    ASSERT_EQ(RunBatchTool({Q(pics), "-r", "-o", Q(Out("second"))}).Status, 1);
    const auto second = Rows(Out("second"));
    EXPECT_EQ(second.size(), first.size());
    for (const auto& [picture, row] : second)
        EXPECT_EQ(picture.find("/analysis/"), std::string::npos) << picture;
}

TEST_F(OutputRules, ASecondRunIntoTheSameFolderIsRefusedWhileTheFirstHoldsTheLock) {
    const std::string out = Out("out");
    fs::create_directories(out);
    const int fd = ::open((out + "/.tessavorin-batch.lock").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const TToolRun second = RunBatchTool({Q(pics), "-o", Q(out)});
    EXPECT_EQ(second.Status, 2);
    EXPECT_NE(second.Err.find("another run"), std::string::npos) << second.Err;
    EXPECT_FALSE(fs::exists(out + "/summary.csv"));
    ::close(fd);
    EXPECT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1) << "free again";
    EXPECT_FALSE(fs::exists(out + "/.tessavorin-batch.lock")) << "gone with its run";

    // Two real runs at once: the one that comes second is turned away, the
    // first completes every folder its summary names.
    const std::string many = Out("many");
    fs::create_directories(many);
    for (int i = 0; i < 40; ++i) // long enough a run to be caught at work
        fs::copy_file(pics + "/coffee.jpg", many + "/" + std::to_string(i) + ".jpg");
    QProcess first;
    StartBatchTool(first, {Q(many), Q(pics), "-o", Q(out), "-j", "1", "--scan", "--overwrite"});
    while (!first.canReadLine() && first.waitForReadyRead(60000)) {
    }
    EXPECT_EQ(RunBatchTool({Q(many), "-o", Q(out), "--scan"}).Status, 2);
    ASSERT_TRUE(first.waitForFinished(300000));
    EXPECT_EQ(first.exitCode(), 1);
    for (const auto& [picture, row] : Rows(out))
        EXPECT_EQ(row[8] == "ok",
                  IsCompleteResultFolder(out, fs::path(picture).filename().string(), false))
            << picture;
}

// A complete run at threshold 50, a re-run with other options killed on the
// way, then --resume with those: every folder is of the new options, as a
// clean run makes them.
TEST_F(OutputRules, ResumingAKilledReRunWithOtherOptionsRedoesEveryMismatchedFolder) {
    const std::string out = Out("out"), clean = Out("clean");
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(out), "--threshold", "50"}).Status, 1);
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(clean), "--scan"}).Status, 1);
    QProcess p;
    StartBatchTool(p, {Q(pics), "-o", Q(out), "--scan", "--overwrite", "-j", "1"});
    int lines = 0;
    while (lines < 2 && p.waitForReadyRead(60000))
        while (p.canReadLine()) lines += p.readLine().startsWith("[") ? 1 : 0;
    p.kill();
    p.waitForFinished();
    EXPECT_FALSE(fs::exists(out + "/batch-options.txt")) << "it no longer held";
    const TToolRun resumed = RunBatchTool({Q(pics), "-o", Q(out), "--scan", "--resume"});
    EXPECT_EQ(resumed.Status, 1) << resumed.Err;
    auto a = FilesUnder(out), b = FilesUnder(clean);
    EXPECT_TRUE(a == b);
}

TEST_F(OutputRules, MergeRefusesOtherOptionsACutSummaryAndMissingShares) {
    QStringList shards;
    for (int k = 1; k <= 3; ++k) {
        shards << Q(Out("s") + std::to_string(k));
        RunBatchTool({Q(pics), "-o", shards.back(), "--shard", QString("%1/3").arg(k)});
    }
    EXPECT_EQ(RunBatchTool(QStringList{"--merge"} + shards).Status, 1) << "they go together";
    const TToolRun missing = RunBatchTool({"--merge", shards[0], shards[2]});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_NE(missing.Err.find("2/3"), std::string::npos) << missing.Err;

    const std::string other = Out("other");
    RunBatchTool({Q(pics), "-o", Q(other), "--threshold", "40", "--shard", "2/3"});
    const TToolRun mixed = RunBatchTool({"--merge", shards[0], Q(other), shards[2]});
    EXPECT_EQ(mixed.Status, 2);
    EXPECT_NE(mixed.Err.find(other + "/batch-options.txt"), std::string::npos) << mixed.Err;

    const std::string summary = shards[1].toStdString() + "/summary.csv";
    const std::string whole = ReadFile(summary);
    for (const size_t cut :
         {whole.size() - 1, whole.size() - 5, whole.rfind("\r\n", whole.size() - 3) + 2}) {
        std::ofstream(summary, std::ios::binary) << whole.substr(0, cut);
        const TToolRun run = RunBatchTool(QStringList{"--merge"} + shards);
        EXPECT_EQ(run.Status, 2) << "cut at " << cut;
        EXPECT_NE(run.Err.find(summary), std::string::npos) << run.Err;
    }
}

// A name in another encoding and one of 250 bytes: each opens, gets its
// folder, valid JSON text, and is kept by --resume.
TEST_F(OutputRules, NamesOfAnyBytesAndLength) {
    const std::string in = Out("odd"), out = Out("out");
    fs::create_directories(in);
    const std::string latin = "caf\xe9";
    const std::string names[] = {latin + ".bmp", latin + ".jpg", std::string(246, 'n') + ".jpg"};
    fs::copy_file(pics + "/astronaut.bmp", in + "/" + names[0]);
    fs::copy_file(pics + "/coffee.jpg", in + "/" + names[1]);
    fs::copy_file(pics + "/rocket.jpg", in + "/" + names[2]);
    const TToolRun run = RunBatchTool({Q(in), "-o", Q(out)});
    ASSERT_EQ(run.Status, 0) << run.Out;
    for (const std::string& n : names) {
        ASSERT_TRUE(IsCompleteResultFolder(out, n, false)) << n;
        EXPECT_EQ(ReadResultMark(out + "/" + n)->Picture, in + "/" + n);
    }
    for (const std::string& n : {names[0], names[1]}) {
        ASSERT_TRUE(IsCompleteResultFolder(out, n, false)) << n;
        QJsonParseError error{};
        const QByteArray json =
            QByteArray::fromStdString(ReadFile(out + "/" + n + "/analysis.json"));
        QJsonDocument::fromJson(json, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << n;
        EXPECT_NE(json.indexOf("caf\\udce9"), -1) << "the byte, escaped";
    }
    const std::string summary = ReadFile(out + "/summary.csv");
    EXPECT_EQ(Utf8Escaped(summary), summary) << "valid UTF-8 for pandas and spreadsheets";
    EXPECT_NE(summary.find(in + "/caf\\xE9.bmp,"), std::string::npos) << summary;
    const TToolRun resumed = RunBatchTool({Q(in), "-o", Q(out), "--resume"});
    EXPECT_NE(resumed.Out.find("3 kept"), std::string::npos) << resumed.Out;
    fs::remove_all(in); // Qt cannot name what it would remove
    fs::remove_all(out);
}

TEST_F(OutputRules, APictureOverTheMemoryLimitGetsAPlainErrorRow) {
    const std::string out = Out("out");
    WriteUniformBmp(pics + "/large.bmp", 1024, 600, {9, 8, 7}); // 2.4 MiB as Qt decodes it
    EXPECT_EQ(RunBatchTool({Q(pics + "/large.bmp"), Q(pics + "/cell.jpg"), "-o", Q(out),
                            "--memory-limit", "1"})
                  .Status,
              1);
    auto rows = Rows(out);
    EXPECT_NE(rows[pics + "/large.bmp"][9].find("more than the memory limit of 1 MiB"),
              std::string::npos)
        << rows[pics + "/large.bmp"][9];
    EXPECT_EQ(rows[pics + "/cell.jpg"][8], "ok");
    EXPECT_EQ(RunBatchTool({Q(pics), "-o", Q(out), "--memory-limit", "0"}).Status, 2);
}

// Four large PNGs, four at a time: with a limit that holds one decode, the
// run's peak stays near that of a run of one of them; without it the decodes
// add up. The peak is that of the largest child waited for so far, so the
// runs go in the order of their peaks.
TEST_F(OutputRules, LargePngsSideBySideStayWithinTheMemoryLimit) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer keeps freed memory aside, so peaks add up";
#endif
    const std::string in = Out("large");
    fs::create_directories(in);
    QImage large(4000, 3000, QImage::Format_RGB32); // 46 MiB decoded
    large.fill(Qt::darkGreen);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(large.save(Q(in + "/" + std::to_string(i) + ".png"), "png", 0));
    const auto peakMiB = [] {
        rusage usage{};
        ::getrusage(RUSAGE_CHILDREN, &usage);
        return usage.ru_maxrss >> 10;
    };
    ASSERT_EQ(RunBatchTool({Q(in + "/0.png"), "-o", Q(Out("one"))}).Status, 0);
    const long one = peakMiB();
    ASSERT_EQ(
        RunBatchTool({Q(in), "-o", Q(Out("bounded")), "-j", "4", "--memory-limit", "60"}).Status,
        0);
    const long bounded = peakMiB();
    ASSERT_EQ(RunBatchTool({Q(in), "-o", Q(Out("free")), "-j", "4"}).Status, 0);
    const long free = peakMiB();
    EXPECT_LT(bounded, one + 30) << "MiB: one decode at a time";
    EXPECT_GT(free, bounded + 46) << "MiB: side by side without the limit";
}

// A tmpfs of its own size, when this process may mount one (as root).
struct TSmallDisk {
    std::string Dir;
    bool Mounted = false;
    TSmallDisk(const std::string& dir, const char* size) : Dir(dir) {
        fs::create_directories(dir);
        Mounted =
            ::mount("tmpfs", dir.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    bool Grow(const char* size) const {
        return ::mount("tmpfs", Dir.c_str(), "tmpfs", MS_REMOUNT,
                       (std::string("size=") + size).c_str()) == 0;
    }
    ~TSmallDisk() {
        if (Mounted) ::umount2(Dir.c_str(), MNT_DETACH);
    }
};

// Earlier results, then a re-run with the planes on a disk too small for
// them: every folder left is complete, a failed one keeps the earlier
// result, the errors say why; with room again --resume gives a clean run.
TEST_F(OutputRules, AFullDiskKeepsEarlierResultsAndResumingCompletesTheRun) {
    const TSmallDisk disk(Out("disk"), "3m");
    if (!disk.Mounted)
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno) << ")";
    const std::string out = disk.Dir + "/out", clean = Out("clean");
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(out)}).Status, 1);
    ASSERT_EQ(RunBatchTool({Q(pics), "-o", Q(clean), "--planes"}).Status, 1);
    const auto earlier = FilesUnder(out);

    const TToolRun full =
        RunBatchTool({Q(pics), "-o", Q(out), "--planes", "--overwrite", "-j", "1"});
    EXPECT_EQ(full.Status, 1);
    EXPECT_NE(full.Out.find("no space left on the device"), std::string::npos) << full.Out;
    int kept = 0;
    for (const std::string& name : ResultFoldersUnder(out)) {
        const bool planes = ReadResultMark(out + "/" + name)->Options.ends_with("planes");
        EXPECT_TRUE(IsCompleteResultFolder(out, name, planes)) << name;
        if (planes) continue;
        ++kept;
        for (const auto& [file, bytes] : FilesUnder(out + "/" + name))
            EXPECT_EQ(bytes, earlier.at(name + "/" + file)) << name << " as it was";
    }
    EXPECT_GT(kept, 0) << "the disk was not full";
    EXPECT_EQ(ResultFoldersUnder(out).size(), size_t(good));
    for (const auto& e : fs::directory_iterator(out))
        EXPECT_FALSE(e.path().filename().string().starts_with(".tsv-")) << e.path();

    ASSERT_TRUE(disk.Grow("64m"));
    const TToolRun resumed = RunBatchTool({Q(pics), "-o", Q(out), "--planes", "--resume"});
    EXPECT_EQ(resumed.Status, 1) << resumed.Err;
    EXPECT_TRUE(FilesUnder(out) == FilesUnder(clean));
}

} // namespace
