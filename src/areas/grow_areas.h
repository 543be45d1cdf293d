// The seeds of an area pass, grown: what a shown pass (area_pass.h) and a
// pass that only scores its threshold (scoring_pass.h) share.
//
// Reads: the seed order (the working plane and its positions), Level.
// Writes: WorkPlane (a copy of the order's plane, framed, then raised where
// fills take pixels), LabelMap, CurLabel, the records Areas[0] to
// Areas[AreaCount] with their runs, SizeSum, SizeMax, RejectedAreas and
// RejectedLast (through the fill); tells the observer each raise of the
// fill threshold and, through the fill, steps and warnings.
// Leaves for the next step: the records of the kept fills, to be measured.
#pragma once

#include "area_tables.h"
#include "pass_observer.h"
#include "seed_order.h"

// Frees the records of the last pass; entries past AreaCount + 1 are null.
void ReleaseRecords(TAreaState& s);

// Starts a pass: sums 0, one fresh record, an empty label map, the working
// plane copied from the order (without its frame yet).
void StartPass(TAreaState& s, const TSeedOrder& order);

// Frames the working plane, then takes the seeds in order of rising value,
// raising Level as they reach it, and grows an area from each; ends with the
// spare record dropped, so that the records are Areas[0] to Areas[AreaCount].
void GrowAreas(TAreaState& s, const TSeedOrder& order, TPassObserver& observer, bool paintSteps);
