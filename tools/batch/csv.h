// Comma-separated values as RFC 4180 writes them: CRLF line ends, a field
// quoted when it holds a comma, a quote or a line break, quotes doubled.
// A field that is not valid UTF-8 is written as Utf8Escaped gives it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

using TCsvRow = std::vector<std::string>;

std::string CsvLine(const TCsvRow& fields);

// Reads every row (CRLF or LF line ends); throws std::runtime_error on a
// quote that is never closed.
std::vector<TCsvRow> ParseCsv(const std::string& text);
