// A pass that nobody sees: a threshold scan scores most of its thresholds
// with it, on worker threads, and the owner of the analysis then applies
// what each hands back, in threshold order.
//
// ScorePass reads: the seed order (shared, read-only) and nothing else of
// the analysis. Writes: its own scoring context only (a TAreaState that is
// not the analysis's), so that passes for different thresholds run side by
// side. Leaves in TScoredPass: what the shown pass at that threshold would
// change in the analysis beyond its own records and drawings: its score and
// result, its segment-list warnings, and the label and runs of every area it
// would enter into the partition tree, in that order.
//
// ApplyScoredPass, on the analysis's own state, has those effects: counter 1
// adds the order's count, the observer hears the threshold, each warning
// and the end of the pass, the tree's labels take every registration (its
// lists are left alone: the next shown pass clears them unread), and the
// level score is stored. The records, the label map, the working plane,
// planes 3 and 13 and the drawing stay as the last shown pass left them.
#pragma once

#include "../tree/partition_tree.h"
#include "area_tables.h"
#include "pass_observer.h"
#include "seed_order.h"

#include <cstdint>
#include <vector>

struct TScoredPass {
    TPassResult Result;
    int32_t Warnings = 0;         // segment-list warnings, one per fill that gave one
    std::vector<int32_t> Labels;  // of the areas the pass keeps, in registration order
    std::vector<int32_t> RunsEnd; // area k's runs are Runs[RunsEnd[k - 1] .. RunsEnd[k] - 1]
    std::vector<TLineSeg> Runs;
};

void ScorePass(TAreaState& context, const TSeedOrder& order, int32_t threshold,
               TScoredPass& scored);

void ApplyScoredPass(TAreaState& s, TPartitionTree& tree, const TSeedOrder& order,
                     const TScoredPass& scored, TPassObserver& observer);
