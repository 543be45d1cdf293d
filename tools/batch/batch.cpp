#include "batch.h"

#include "analyse.h"
#include "image/workers.h"
#include "output_folder.h"
#include "picture_list.h"
#include "session/analysis.h"
#include "sweep_output.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <malloc.h>

namespace fs = std::filesystem;

namespace {

const char* const OptionsFile = "batch-options.txt";

// The error as it stands on its own: the intake's messages end in advice for
// the window's user.
std::string PlainMessage(std::string message) {
    const std::string advice = " Choose another file.";
    if (message.size() > advice.size() && message.ends_with(advice))
        message.resize(message.size() - advice.size());
    return message;
}

// Analyses one picture on `kept` (or, when null, on a session of its own
// with `sessionWorkers` threads) and writes its folder when `write`; a
// picture that fails leaves no folder.
TSummaryRow Analyse(const TPictureJob& job, TSession* kept, const TBatchOptions& o, bool write,
                    int sessionWorkers = 1) {
    TSummaryRow row{job.Path, std::nullopt, job.Error};
    if (!job.Error.empty()) return row;
    try {
        std::unique_ptr<TSession> fresh = kept ? nullptr : NewSession(sessionWorkers);
        TSession& s = kept ? *kept : *fresh;
        const TPictureOutcome outcome = AnalysePicture(s, job.Path, o.Choice);
        if (write) {
            TExportOptions e;
            e.Planes = o.Choice.Planes;
            e.ScanBestScore = outcome.BestScore;
            const std::optional<TSweep> sweep = PictureSweep(s, o.Choice, s.ThresholdBar);
            e.Sweep = sweep ? &*sweep : nullptr;
            e.SweepPlot = true;
            WriteResultFolder(s, o.OutDir, job.OutName, e);
        }
        row.Outcome = outcome;
    } catch (const std::bad_alloc&) {
        row.Message = StepOutOfMemoryMessage;
    } catch (const std::exception& e) {
        row.Message = PlainMessage(e.what());
    }
    if (write && !row.Outcome) RemoveResultFolder(o.OutDir, job.OutName);
    return row;
}

// With --resume, the row of a picture whose folder an earlier run completed.
std::optional<TSummaryRow> Earlier(const TPictureJob& job, const TBatchOptions& o) {
    if (!o.Resume || !job.Error.empty() ||
        !IsCompleteResultFolder(o.OutDir, job.OutName, o.Choice.Planes))
        return std::nullopt;
    auto outcome = OutcomeInFolder((fs::path(o.OutDir) / job.OutName).string(), job.Path);
    if (!outcome) return std::nullopt;
    return TSummaryRow{job.Path, outcome, ""};
}

// Makes the output folder and records the choice its results are made
// with; a resumed run must make them the same way.
void PrepareOutDir(const TBatchOptions& o) {
    std::error_code ec;
    fs::create_directories(o.OutDir, ec);
    if (ec || !fs::is_directory(o.OutDir))
        throw TUsageError("cannot make the output folder \"" + o.OutDir + "\"" +
                          (ec ? ": " + ec.message() : ""));
    const std::string path = (fs::path(o.OutDir) / OptionsFile).string();
    const std::string line = ChoiceLine(o.Choice) + "\n";
    if (o.Resume) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream before;
        if (in && before << in.rdbuf() && before.str() != line)
            throw TUsageError(
                "--resume: \"" + o.OutDir + "\" holds results made with other options (" +
                before.str().substr(0, before.str().find('\n')) + "), not " + ChoiceLine(o.Choice));
    }
    try {
        WriteFileAtomically(path, line);
    } catch (const std::runtime_error& e) {
        throw TUsageError(e.what());
    }
}

std::vector<TPictureJob> Pictures(const TBatchOptions& o) {
    std::vector<std::string> inputs = o.Inputs;
    if (!o.ListFile.empty()) try {
            const std::vector<std::string> listed = ReadListFile(o.ListFile);
            inputs.insert(inputs.end(), listed.begin(), listed.end());
        } catch (const std::runtime_error& e) {
            throw TUsageError(e.what());
        }
    return FindPictures(inputs, o.Recursive, o.OutDir);
}

int Workers(const TBatchOptions& o, size_t pictures) {
    // The cores this process may run on: a job scheduler or taskset may
    // give it fewer than the machine has.
    const int cores = DefaultWorkerCount();
    return int(
        std::min<size_t>(size_t(o.Jobs > 0 ? o.Jobs : cores), std::max<size_t>(pictures, 1)));
}

// A session per picture asks for the same few MiB again and again. Left to
// itself the C library maps them afresh each time and unmaps them after,
// which costs page faults and, with threads running, a flush of every
// core's address cache; kept in the heap they are reused as they are.
// Blocks of 32 MiB and more (a whole large picture) are still mapped and
// given back, and an idle heap above 128 MiB is still trimmed.
void KeepSessionMemory() {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

} // namespace

int RunBatch(const TBatchOptions& o, TProgressStyle style) {
    KeepSessionMemory();
    const std::vector<TPictureJob> jobs = Pictures(o);
    // Plain variables: the workers' lambda captures them (clang 14 captures no
    // structured bindings).
    const std::pair<size_t, size_t> share = o.Share
                                                ? ShareRange(jobs.size(), o.Share->K, o.Share->N)
                                                : std::pair<size_t, size_t>{0, jobs.size()};
    const size_t begin = share.first, end = share.second;
    PrepareOutDir(o);
    std::vector<TSummaryRow> rows(end - begin);
    TProgress progress(style, rows.size());

    if (o.Choice.KeepGrid) {
        // One session, picture after picture, as in the window. The pictures
        // before the share, and those kept from an earlier run, still land
        // on the grid and move the bar, so that each share and a resumed run
        // give what the whole run gives.
        const auto s = NewSession();
        for (size_t i = 0; i < end; ++i) {
            const std::optional<TSummaryRow> earlier =
                i >= begin ? Earlier(jobs[i], o) : std::nullopt;
            TSummaryRow row = Analyse(jobs[i], s.get(), o, i >= begin && !earlier);
            if (i < begin) continue;
            rows[i - begin] = earlier ? *earlier : std::move(row);
            progress.Done(rows[i - begin], bool(earlier));
        }
    } else {
        // Each picture in a fresh session, as in a freshly started window:
        // which worker takes it changes nothing. The cores are shared out:
        // pictures side by side each get one, a single picture gets them
        // all for its planes and scan.
        const int pictureWorkers = Workers(o, rows.size());
        const int sessionWorkers = std::max(1, DefaultWorkerCount() / pictureWorkers);
        std::atomic<size_t> next{begin};
        const auto work = [&] {
            for (size_t i; (i = next++) < end;) {
                if (std::optional<TSummaryRow> earlier = Earlier(jobs[i], o)) {
                    rows[i - begin] = std::move(*earlier);
                    progress.Done(rows[i - begin], true);
                    continue;
                }
                rows[i - begin] = Analyse(jobs[i], nullptr, o, true, sessionWorkers);
                progress.Done(rows[i - begin], false);
            }
        };
        std::vector<std::jthread> workers;
        for (int w = pictureWorkers; w > 0; --w) workers.emplace_back(work);
    }

    std::vector<TCsvRow> fields;
    for (const TSummaryRow& r : rows) fields.push_back(SummaryFields(r));
    const std::string summary = (fs::path(o.OutDir) / "summary.csv").string();
    WriteFileAtomically(summary, SummaryText(fields));
    progress.Finish(summary);
    return std::any_of(fields.begin(), fields.end(), Failed) ? 1 : 0;
}

int RunMerge(const TBatchOptions& o, std::FILE* out) {
    std::vector<TCsvRow> rows;
    for (const std::string& dir : o.Inputs) try {
            const std::vector<TCsvRow> part = ReadSummary((fs::path(dir) / "summary.csv").string());
            rows.insert(rows.end(), part.begin(), part.end());
        } catch (const std::runtime_error& e) {
            throw TUsageError(e.what());
        }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TCsvRow& a, const TCsvRow& b) { return PathBefore(a[0], b[0]); });
    for (size_t i = 1; i < rows.size(); ++i)
        if (rows[i][0] == rows[i - 1][0])
            throw TUsageError("\"" + rows[i][0] + "\" stands in more than one summary");
    const std::string text = SummaryText(rows);
    if (o.OutDir.empty()) {
        std::fwrite(text.data(), 1, text.size(), out);
        std::fflush(out);
    } else {
        std::error_code ec;
        fs::create_directories(o.OutDir, ec);
        WriteFileAtomically((fs::path(o.OutDir) / "summary.csv").string(), text);
    }
    return std::any_of(rows.begin(), rows.end(), Failed) ? 1 : 0;
}
