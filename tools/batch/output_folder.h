// The folder of one picture's results under the output folder. It appears
// whole or not at all: the export is written into a hidden temporary folder
// beside it, its files straight under their own names, and the folder then
// takes its name. A run killed on the way leaves that
// hidden folder, which the next run over the same picture removes.
#pragma once

#include "session/export.h"

#include <string>

// Writes the export of `s` as outDir/name, replacing an older folder of that
// name. Throws TExportError.
void WriteResultFolder(const TSession& s, const std::string& outDir, const std::string& name,
                       const TExportOptions& options);

// Removes outDir/name and what a killed run left of it.
void RemoveResultFolder(const std::string& outDir, const std::string& name);

// True when outDir/name holds every file an export with `planes` writes.
bool IsCompleteResultFolder(const std::string& outDir, const std::string& name, bool planes);
