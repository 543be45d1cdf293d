// The state dump of the replay tool: planes, pictures and state.json.
#pragma once

#include <string>

class TfrmMain;

// Writes the dump into `dir`, creating it if missing; throws
// std::runtime_error when a file cannot be written.
void WriteDump(const TfrmMain& form, const std::string& dir);
