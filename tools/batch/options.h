// The command line of tessavorin-batch: what to analyse, how, and where the
// results go. Parsing never touches a file; it only checks the words.
#pragma once

#include "image/placement.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that cannot be run; the message says what is wrong.
struct TUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the user chose for each picture, as the window's controls would.
struct TAnalysisChoice {
    int32_t Threshold = -1; // 0..255, or -1: the pass chooses it
    bool Scan = false;      // the threshold scan instead of a single pass
    int32_t Plane = -1;     // 0..19: analyse that plane; -1: the brightness/noise mix
    bool Planes = false;    // also write the twenty planes as pictures
    bool KeepGrid = false;  // each picture lands on what the previous one left
    TPlacement Placement;   // where each picture lands on the grid
    bool Sweep = false;     // also write sweep.csv and sweep.png
};

// The K-th (1..N) of N equal shares of the picture list.
struct TShare {
    int K = 1;
    int N = 1;
};

struct TBatchOptions {
    std::vector<std::string> Inputs; // pictures and folders, or with Merge the folders to join
    std::string ListFile;            // one picture or folder per line; "-" reads standard input
    std::string OutDir;
    bool Recursive = false;
    int Jobs = 0; // 0: one per core
    TAnalysisChoice Choice;
    bool Resume = false;
    long long MemoryLimit = 0; // bytes for the decodes of the whole run; 0: half the machine's
    bool Overwrite = false;    // replace results made with other options, remove stale ones
    std::optional<TShare> Share;
    bool Merge = false;
    bool Quiet = false;
    bool Help = false;
};

// Throws TUsageError. Arguments keep their own bytes, so that a file name
// that is not valid text still opens.
TBatchOptions ParseBatchArguments(const std::vector<std::string>& args);

// The text of --help.
std::string BatchUsage();

// The options that decide the results, as one line: a resumed run must use
// the same ones as the run it continues.
std::string ChoiceLine(const TAnalysisChoice& c);
