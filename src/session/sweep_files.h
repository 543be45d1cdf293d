// The files of a threshold sweep: sweep.csv (one row per threshold) and
// sweep.png (its plot), as the export and the batch write them.
#pragma once

#include "sweep.h"

#include <QByteArray>

#include <string>
#include <utility>
#include <vector>

// The header line, then 256 rows in threshold order; CRLF line ends, the
// score so that it reads back as the same double.
std::string SweepCsv(const TSweep& sweep);

// The files' names and bytes: sweep.csv, and with `plot` sweep.png.
std::vector<std::pair<std::string, QByteArray>> SweepFiles(const TSweep& sweep, bool plot);
