// The one way this program writes a file: whole or not at all. The bytes go
// to a short hidden temporary name in the same folder, are flushed to the
// disk, and the file then takes its final name, so that a kill, a full disk
// or a read-only folder leave no half-written file under a final name.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A file or folder that could not be written; the message names it and says
// why in plain words.
struct TExportError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes `bytes` to `path`, replacing a file there only once they are all on
// the disk. Throws TExportError; a failed write leaves `path` as it was and
// removes its temporary.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes `bytes` as the new file `path` inside a folder that is itself still
// temporary, flushed to the disk. A file that fails is removed. Throws
// TExportError.
void WriteNewFile(const std::string& path, std::string_view bytes);

// Flushes a folder's entries (new names, renames) to the disk. Errors are
// left to the file writes, which report them.
void SyncFolder(const std::string& path);

// The hidden name a temporary of `leaf` takes beside it: a fixed prefix and a
// hash of the name, so that it stays short whatever the length of `leaf`.
// `suffix` tells the kinds apart (".part", ".old", or a process's own).
std::string TemporaryName(const std::string& leaf, const std::string& suffix);

// The reason for an errno value in plain words: "no space left on the
// device", "permission denied", ...
std::string FailureReason(int error);

// "Cannot write "PATH": REASON."
[[noreturn]] void FailWrite(const std::string& path, int error);
