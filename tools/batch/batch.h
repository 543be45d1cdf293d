// A whole run of tessavorin-batch, and the joining of several runs'
// summaries. Both return the exit status: 0 when every picture was analysed,
// 1 when some failed. A run that cannot start throws TUsageError (status 2).
#pragma once

#include "options.h"
#include "progress.h"

#include <cstdio>

// Analyses the pictures of `o` into o.OutDir: one folder per picture and
// summary.csv. With -j N, N pictures at a time, each in a session of its own,
// with exactly the results of one at a time.
int RunBatch(const TBatchOptions& o, TProgressStyle style);

// Joins the summary.csv of the folders o.Inputs into one, in path order,
// written to o.OutDir/summary.csv or, without -o, to `out`.
int RunMerge(const TBatchOptions& o, std::FILE* out);
