// A folder of results this program made: one picture's export, written whole
// or not at all, and marked as ours. The program replaces or removes only a
// folder that carries the mark; a file or folder of the user's that stands
// where a result would go is never touched.
//
// The export is written into a hidden temporary folder beside the final one
// (the mark first, analysis.json last), flushed to the disk, and then takes
// the final name in one step: a folder that stood there is exchanged with it
// and removed only afterwards, so that a failed write leaves the earlier
// result as it was.
#pragma once

#include "export.h"

#include <optional>
#include <string>
#include <vector>

// The mark's file inside a result folder.
inline constexpr const char* ResultMarkFile = ".tessavorin-result";

// What the mark records: the options the folder was made with, and the
// picture it was made from.
struct TResultMark {
    std::string Options;
    std::string Picture;
    bool operator==(const TResultMark&) const = default;
};

// Something of the user's stands where a result would go.
struct TNotOursError : TExportError {
    using TExportError::TExportError;
};

// The mark of the folder `dir`; none when it is not a folder of ours.
std::optional<TResultMark> ReadResultMark(const std::string& dir);
bool IsResultFolder(const std::string& dir);

// Writes the export of `s` as parent/name (name may hold folders below
// parent, made when missing), replacing a result folder of ours there.
// Throws TNotOursError when anything else stands there, TExportError when a
// write fails; either way parent/name is as it was.
void WriteResultFolder(const TSession& s, const std::string& parent, const std::string& name,
                       const TExportOptions& options, const TResultMark& mark);

// Removes parent/name when it is a result folder of ours, and what a killed
// write left of it; anything else stays.
void RemoveResultFolder(const std::string& parent, const std::string& name);

// True when parent/name is ours and holds every file an export with `planes`
// writes.
bool IsCompleteResultFolder(const std::string& parent, const std::string& name, bool planes);

// The result folders of ours below `dir`, by their path inside it (not
// looking inside them nor into hidden folders or links).
std::vector<std::string> ResultFoldersUnder(const std::string& dir);

// The message for something of the user's at `path`.
std::string NotOursMessage(const std::string& path);
