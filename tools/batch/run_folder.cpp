#include "run_folder.h"

#include "summary.h"

#include "session/output_file.h"
#include "session/result_folder.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const LockFile = ".tessavorin-batch.lock";

std::string RecordPath(const std::string& dir) {
    return (fs::path(dir) / RunOptionsFile).string();
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    return line;
}

// batch-options.txt as RecordRunOptions writes it: a choice line, then only
// the lines of the record.
bool IsOurRunRecord(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || !(line.starts_with("automatic, ") ||
                                     line.starts_with("scan, ") || line.starts_with("threshold ")))
        return false;
    bool pictures = false;
    for (; std::getline(in, line);) {
        const auto digits = [](const std::string& s) {
            return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
        };
        if (line.starts_with("pictures: ") && digits(line.substr(10))) {
            pictures = true;
        } else if (const size_t slash = line.find('/');
                   !(line.starts_with("shard: ") && slash != std::string::npos &&
                     digits(line.substr(7, slash - 7)) && digits(line.substr(slash + 1)))) {
            return false;
        }
    }
    return pictures;
}

} // namespace

TRunLock::TRunLock(const std::string& outDir) {
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec || !fs::is_directory(outDir))
        throw TUsageError("cannot make the output folder \"" + outDir + "\"" +
                          (ec ? ": " + FailureReason(ec.value()) : ""));
    Path_ = (fs::path(outDir) / LockFile).string();
    const std::string& path = Path_;
    Fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (Fd_ < 0)
        throw TUsageError("cannot write into the output folder \"" + outDir +
                          "\": " + FailureReason(errno));
    // Released by the system when the process ends, however it ends.
    if (::flock(Fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(Fd_);
        Fd_ = -1;
        throw TUsageError("another run of tessavorin-batch is writing into \"" + outDir +
                          "\": wait until it ends, or choose another output folder");
    }
}

// Every write of the run is done: the file goes while still locked, so that
// a run starting now makes a lock of its own. A killed run leaves it, which
// is no hindrance: the lock itself went with the process.
TRunLock::~TRunLock() {
    ::unlink(Path_.c_str());
    ::close(Fd_);
}

void RefuseOutputAmongInputs(const TBatchOptions& o, const std::vector<TPictureJob>& jobs) {
    std::error_code ec;
    if (!fs::is_directory(o.OutDir, ec)) return; // made by this run: holds nothing yet
    std::set<std::string> folders;
    for (const std::string& input : o.Inputs)
        if (fs::is_directory(input, ec)) folders.insert(input);
    for (const TPictureJob& j : jobs) {
        const std::string parent = fs::path(j.Path).parent_path().string();
        folders.insert(parent.empty() ? "." : parent);
    }
    for (const std::string& folder : folders)
        if (fs::equivalent(folder, o.OutDir, ec))
            throw TUsageError("the output folder \"" + o.OutDir +
                              "\" holds pictures this run reads: their results would stand "
                              "among them, named like them. Choose a folder of their own, "
                              "such as -o " +
                              (fs::path(folder) / "analysis").string());
}

void RefuseForeignRunFile(const std::string& outDir, const std::string& name) {
    const std::string path = (fs::path(outDir) / name).string();
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return;
    const bool ours = fs::is_regular_file(fs::symlink_status(path, ec)) &&
                      (name == RunOptionsFile ? IsOurRunRecord(path) : IsOurSummary(path));
    if (!ours)
        throw TUsageError("\"" + path +
                          "\" already exists and is not a file of this program; nothing was "
                          "written. Move it away, or choose another output folder");
}

void CheckEarlierOptions(const TBatchOptions& o) {
    const std::string path = RecordPath(o.OutDir);
    std::error_code ec;
    if (!fs::exists(path, ec)) return;
    const std::string before = FirstLine(path), now = ChoiceLine(o.Choice);
    if (before == now) return;
    if (!o.Overwrite)
        throw TUsageError("\"" + o.OutDir + "\" holds results made with other options (" + before +
                          "), not " + now +
                          ": add --overwrite to replace them, or choose another output folder");
    fs::remove(path, ec);
    SyncFolder(o.OutDir);
}

namespace {

// Our result folders in the output folder that the run does not make.
std::vector<std::string> FoldersNotMade(const TBatchOptions& o,
                                        const std::vector<TPictureJob>& jobs) {
    std::set<std::string> made;
    for (const TPictureJob& j : jobs)
        if (!j.OutName.empty()) made.insert(fs::path(j.OutName).lexically_normal().string());
    std::vector<std::string> others;
    for (const std::string& name : ResultFoldersUnder(o.OutDir))
        if (!made.count(name)) others.push_back(name);
    return others;
}

} // namespace

void RemoveStaleFolders(const TBatchOptions& o, const std::vector<TPictureJob>& jobs) {
    if (!o.Overwrite || o.Share) return; // a share knows only its own pictures
    for (const std::string& name : FoldersNotMade(o, jobs)) RemoveResultFolder(o.OutDir, name);
}

std::vector<TSummaryRow> EarlierRows(const TBatchOptions& o, const std::vector<TPictureJob>& jobs) {
    std::vector<TSummaryRow> rows;
    if (o.Overwrite || o.Share) return rows;
    for (const std::string& name : FoldersNotMade(o, jobs)) {
        const std::string folder = (fs::path(o.OutDir) / name).string();
        const std::optional<TResultMark> mark = ReadResultMark(folder);
        if (!mark || mark->Options != ChoiceLine(o.Choice) ||
            !IsCompleteResultFolder(o.OutDir, name, o.Choice.Planes))
            continue;
        if (std::optional<TPictureOutcome> outcome = OutcomeInFolder(folder))
            rows.push_back({mark->Picture, std::move(outcome), ""});
    }
    return rows;
}

void RecordRunOptions(const TBatchOptions& o, size_t pictures) {
    const std::string line = ChoiceLine(o.Choice);
    for (const std::string& name : ResultFoldersUnder(o.OutDir)) {
        const std::optional<TResultMark> mark =
            ReadResultMark((fs::path(o.OutDir) / name).string());
        if (mark && mark->Options != line) return; // an earlier folder stays as it was
    }
    std::string text = line + "\npictures: " + std::to_string(pictures) + "\n";
    if (o.Share)
        text += "shard: " + std::to_string(o.Share->K) + "/" + std::to_string(o.Share->N) + "\n";
    WriteFileAtomically(RecordPath(o.OutDir), text);
}

std::optional<TRunRecord> ReadRunRecord(const std::string& dir) {
    const std::string path = RecordPath(dir);
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    TRunRecord r;
    std::getline(in, r.Options);
    for (std::string line; std::getline(in, line);) {
        try {
            if (line.starts_with("pictures: ")) r.Pictures = std::stoull(line.substr(10));
            if (line.starts_with("shard: ")) {
                const size_t slash = line.find('/');
                r.Share =
                    TShare{std::stoi(line.substr(7, slash - 7)), std::stoi(line.substr(slash + 1))};
            }
        } catch (const std::exception&) {
            throw TUsageError("\"" + path + "\" is damaged: \"" + line + "\"");
        }
    }
    return r;
}
