// The output folder of a whole run: the checks before anything is written
// into it, the lock that keeps a second run out, and batch-options.txt, the
// record of the options, the share and the number of pictures its folders
// were made with.
#pragma once

#include "options.h"
#include "picture_list.h"
#include "summary.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* RunOptionsFile = "batch-options.txt";

// Holds the output folder's lock file for as long as it lives.
class TRunLock {
  public:
    // Makes the output folder when missing. Throws TUsageError when it cannot
    // be made or another run holds the lock.
    explicit TRunLock(const std::string& outDir);
    ~TRunLock();
    TRunLock(const TRunLock&) = delete;
    TRunLock& operator=(const TRunLock&) = delete;

  private:
    std::string Path_;
    int Fd_ = -1;
};

// Refuses (TUsageError) an output folder the run reads pictures from: the
// results would stand among the pictures, named like them.
void RefuseOutputAmongInputs(const TBatchOptions& o, const std::vector<TPictureJob>& jobs);

// Refuses (TUsageError) `name` in `outDir` when a file of that name stands
// there that this program did not make: the run would replace it.
void RefuseForeignRunFile(const std::string& outDir, const std::string& name);

// Refuses a run whose options differ from those the folder's results were
// made with, unless --overwrite; then the record goes, as it no longer holds.
void CheckEarlierOptions(const TBatchOptions& o);

// With --overwrite, over a whole run: removes our result folders that this
// run does not make (the stale ones of an earlier run).
void RemoveStaleFolders(const TBatchOptions& o, const std::vector<TPictureJob>& jobs);

// Without --overwrite, over a whole run: the rows of our result folders that
// this run does not make but an earlier one made with the same options. They
// stay, and the summary names them with the rest.
std::vector<TSummaryRow> EarlierRows(const TBatchOptions& o, const std::vector<TPictureJob>& jobs);

// What batch-options.txt records.
struct TRunRecord {
    std::string Options;            // ChoiceLine of the run
    std::optional<size_t> Pictures; // pictures in the summary
    std::optional<TShare> Share;
};

// Writes batch-options.txt for a summary of `pictures` rows when every result
// folder present was made with the run's options, so that the record never
// claims what is not so.
void RecordRunOptions(const TBatchOptions& o, size_t pictures);

// The record in `dir`; none when there is none. Throws TUsageError when it
// cannot be read.
std::optional<TRunRecord> ReadRunRecord(const std::string& dir);
