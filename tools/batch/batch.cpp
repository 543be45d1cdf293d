#include "batch.h"

#include "analyse.h"
#include "image/workers.h"
#include "picture_list.h"
#include "run_folder.h"
#include "session/analysis.h"
#include "sweep_output.h"

#include "image/decode_budget.h"
#include "image/picture_error.h"
#include "session/result_folder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include <malloc.h>

namespace fs = std::filesystem;

namespace {

// The error as it stands on its own: the intake's messages end in advice for
// the window's user.
std::string PlainMessage(std::string message) {
    const std::string advice = " Choose another file.";
    if (message.size() > advice.size() && message.ends_with(advice))
        message.resize(message.size() - advice.size());
    return message;
}

// Analyses one picture on `kept` (or, when null, on a session of its own
// with `sessionWorkers` threads) and writes its folder when `write`. A
// picture that cannot be read takes our earlier folder of it away; a write
// that fails leaves the earlier folder as it was.
TSummaryRow Analyse(const TPictureJob& job, TSession* kept, const TBatchOptions& o, bool write,
                    int sessionWorkers = 1) {
    TSummaryRow row{job.Path, std::nullopt, job.Error};
    if (!job.Error.empty()) return row;
    bool unreadable = false;
    try {
        std::unique_ptr<TSession> fresh = kept ? nullptr : NewSession(sessionWorkers);
        TSession& s = kept ? *kept : *fresh;
        TPictureOutcome outcome;
        try {
            outcome = AnalysePicture(s, job.Path, o.Choice);
        } catch (const TPictureError&) {
            unreadable = true;
            throw;
        }
        if (write) {
            TExportOptions e;
            e.Planes = o.Choice.Planes;
            e.ScanBestScore = outcome.BestScore;
            const std::optional<TSweep> sweep = PictureSweep(s, o.Choice, s.ThresholdBar);
            e.Sweep = sweep ? &*sweep : nullptr;
            e.SweepPlot = true;
            // Stored, not compressed: compressing took most of the time of a
            // picture's export.
            e.StoredPngs = true;
            WriteResultFolder(s, o.OutDir, job.OutName, e, {ChoiceLine(o.Choice), job.Path});
        }
        row.Outcome = outcome;
    } catch (const std::bad_alloc&) {
        row.Message = StepOutOfMemoryMessage;
    } catch (const std::exception& e) {
        row.Message = PlainMessage(e.what());
    }
    if (write && unreadable) RemoveResultFolder(o.OutDir, job.OutName);
    return row;
}

// With --resume, the row of a picture whose folder an earlier run completed
// with the same options.
std::optional<TSummaryRow> Earlier(const TPictureJob& job, const TBatchOptions& o) {
    if (!o.Resume || !job.Error.empty() ||
        !IsCompleteResultFolder(o.OutDir, job.OutName, o.Choice.Planes))
        return std::nullopt;
    const std::string folder = (fs::path(o.OutDir) / job.OutName).string();
    const std::optional<TResultMark> mark = ReadResultMark(folder);
    if (!mark || *mark != TResultMark{ChoiceLine(o.Choice), job.Path}) return std::nullopt;
    auto outcome = OutcomeInFolder(folder);
    if (!outcome) return std::nullopt;
    return TSummaryRow{job.Path, outcome, ""};
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
    SetDecodeBudget(o.MemoryLimit);
    const std::vector<TPictureJob> jobs = Pictures(o);
    // Plain variables: the workers' lambda captures them (clang 14 captures no
    // structured bindings).
    const std::pair<size_t, size_t> share = o.Share
                                                ? ShareRange(jobs.size(), o.Share->K, o.Share->N)
                                                : std::pair<size_t, size_t>{0, jobs.size()};
    const size_t begin = share.first, end = share.second;
    RefuseOutputAmongInputs(o, jobs);
    for (const char* name : {"summary.csv", RunOptionsFile}) RefuseForeignRunFile(o.OutDir, name);
    const TRunLock lock(o.OutDir);
    CheckEarlierOptions(o);
    RemoveStaleFolders(o, jobs);
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

    const bool failed =
        std::any_of(rows.begin(), rows.end(), [](const TSummaryRow& r) { return !r.Outcome; });
    const size_t made = rows.size();
    for (TSummaryRow& r : EarlierRows(o, jobs)) rows.push_back(std::move(r));
    if (rows.size() > made)
        std::stable_sort(rows.begin(), rows.end(), [](const TSummaryRow& a, const TSummaryRow& b) {
            return PathBefore(a.Picture, b.Picture);
        });
    std::vector<TCsvRow> fields;
    for (const TSummaryRow& r : rows) fields.push_back(SummaryFields(r));
    const std::string summary = (fs::path(o.OutDir) / "summary.csv").string();
    WriteFileAtomically(summary, SummaryText(fields));
    RecordRunOptions(o, rows.size());
    progress.Finish(summary);
    return failed ? 1 : 0;
}

namespace {

// The summaries of `dirs` may be joined: each is whole, as many rows as its
// run analysed, all made with the same options, and of shards, every share.
void CheckShards(const std::vector<std::string>& dirs,
                 const std::vector<std::vector<TCsvRow>>& summaries) {
    std::optional<TRunRecord> first;
    std::string firstPath;
    std::set<int> shares;
    int of = 0;
    for (size_t i = 0; i < dirs.size(); ++i) {
        const std::string path = (fs::path(dirs[i]) / RunOptionsFile).string();
        const std::optional<TRunRecord> r = ReadRunRecord(dirs[i]);
        if (!r)
            throw TUsageError("\"" + path +
                              "\" is missing: that run did not finish, or its folders were made "
                              "with different options");
        if (r->Pictures && *r->Pictures != summaries[i].size())
            throw TUsageError("\"" + (fs::path(dirs[i]) / "summary.csv").string() + "\" holds " +
                              std::to_string(summaries[i].size()) + " rows, but its run analysed " +
                              std::to_string(*r->Pictures) + " pictures");
        if (!first) {
            first = r;
            firstPath = path;
        } else if (r->Options != first->Options) {
            throw TUsageError("\"" + path + "\" records other options (" + r->Options +
                              ") than \"" + firstPath + "\" (" + first->Options +
                              "): these results do not go together");
        }
        if (r->Share) {
            if (of && r->Share->N != of)
                throw TUsageError("\"" + path + "\" is a share of " + std::to_string(r->Share->N) +
                                  ", the others of " + std::to_string(of));
            of = r->Share->N;
            shares.insert(r->Share->K);
        }
    }
    if (!of) return;
    std::string missing;
    for (int k = 1; k <= of; ++k)
        if (!shares.count(k))
            missing += (missing.empty() ? "" : ", ") + std::to_string(k) + "/" + std::to_string(of);
    if (!missing.empty()) throw TUsageError("shares missing from the merge: " + missing);
}

} // namespace

int RunMerge(const TBatchOptions& o, std::FILE* out) {
    std::vector<TCsvRow> rows;
    std::vector<std::vector<TCsvRow>> summaries;
    for (const std::string& dir : o.Inputs) try {
            summaries.push_back(ReadSummary((fs::path(dir) / "summary.csv").string()));
            rows.insert(rows.end(), summaries.back().begin(), summaries.back().end());
        } catch (const std::runtime_error& e) {
            throw TUsageError(e.what());
        }
    CheckShards(o.Inputs, summaries);
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
        RefuseForeignRunFile(o.OutDir, "summary.csv");
        std::error_code ec;
        fs::create_directories(o.OutDir, ec);
        WriteFileAtomically((fs::path(o.OutDir) / "summary.csv").string(), text);
    }
    return std::any_of(rows.begin(), rows.end(), Failed) ? 1 : 0;
}
