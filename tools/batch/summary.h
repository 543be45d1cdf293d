// summary.csv: one row per picture of a run, in the run's path order.
#pragma once

#include "csv.h"
#include "image/placement.h"

#include <optional>
#include <string>
#include <vector>

// What one picture's analysis gave.
struct TPictureOutcome {
    int Width = 0, Height = 0; // the whole picture's size
    int Threshold = 0;         // the threshold the areas were grown at
    int RaisedLevel = 0;       // the fill threshold as the pass left it
    int Areas = 0;             // areas kept
    int RejectedLast = -1;     // the last fill rejected as too small or too large, -1 when none
    std::optional<double> BestScore; // the scan's best score (only with --scan)
    TPlacement Placement;            // how the picture landed, resolved for its size
};

// The message of an ok row: that only part of the picture was analysed, or "".
std::string OkMessage(const TPictureOutcome& outcome);

struct TSummaryRow {
    std::string Picture;
    std::optional<TPictureOutcome> Outcome; // none when the picture failed
    std::string Message;                    // why it failed
};

// The header line's fields and one row's fields, column by column.
TCsvRow SummaryHeader();
TCsvRow SummaryFields(const TSummaryRow& row);
bool Failed(const TCsvRow& fields);

// The whole file: header, then the rows as given.
std::string SummaryText(const std::vector<TCsvRow>& rows);

// The rows of a summary.csv. Throws std::runtime_error when it cannot be
// read or is not a summary (another header, a row of another length, or an
// end that is not the end of a row: a file cut short).
std::vector<TCsvRow> ReadSummary(const std::string& path);

// Whether the file at `path` begins as a summary.csv of this program, of
// this version or of an earlier one with fewer columns at the end.
bool IsOurSummary(const std::string& path);

// The outcome an earlier run wrote into `folder`'s analysis.json; none when
// it is missing or unreadable.
std::optional<TPictureOutcome> OutcomeInFolder(const std::string& folder);
