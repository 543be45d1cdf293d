// The area analysis pass.
//
// Reads: planes aNo1 and aV, or with options.ByPlane plane options.Plane.
// Writes: the area state (working plane, label map, Level, CurLabel, records,
// scores, counter 1), planes aGr (the working plane before its frame) and
// aArH (the label view), the tree (each kept area registered, the previous
// pass's records dropped from its lists), and `view` (outlines and stars on
// the ground colour).
// Leaves for the next step: the kept records in Areas[0] to Areas[AreaCount]
// (null where released); the probe reads them until the next pass starts.
#pragma once

#include "../image/plane_store.h"
#include "../tree/partition_tree.h"
#include "area_tables.h"
#include "pass_observer.h"
#include "seed_order.h"

TPassResult FindAreas(TAreaState& areas, TPartitionTree& tree, TPlanes& planes, TBitmap& view,
                      const TPassOptions& options, TPassObserver& observer);

// The same pass over a working plane already in seed order, built by
// PrepareSeedOrder from these planes and options: a threshold scan shares one
// order between its passes.
TPassResult FindAreas(TAreaState& areas, TPartitionTree& tree, TPlanes& planes, TBitmap& view,
                      const TSeedOrder& order, const TPassOptions& options,
                      TPassObserver& observer);

// The automatic threshold of a pass given none: the histogram's envelope
// from the top value down, then its drops; the value whose drop times value
// is highest. Tells the observer the dots of both.
uint8_t ChooseLevel(const TSeedOrder& order, TPassObserver& observer);
