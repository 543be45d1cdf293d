// The working plane of an area pass and its positions in the order the pass
// takes its seeds.
//
// Reads: planes aV and aNo1 (the brightness/noise mix), or the plane the
// options name. Writes: the order only.
// Leaves for the pass: the working plane before its frame; every interior
// position (rows and columns 1..254) of a value from 1 to 254, by rising
// value and, within one value, in row order (top to bottom, left to right),
// which is the order of the value buckets; how many interior positions hold
// each value below 255, and how many that is in all (the pass's counter 1).
//
// An order depends only on the plane it was built from: a threshold scan
// builds it once and shares it, read-only, with every pass of its sweeps, and
// preparing it again from a plane equal to the one it holds keeps it as it is
// (moving the threshold over unchanged planes sorts nothing).
#pragma once

#include "../image/plane_store.h"
#include "pass_observer.h"

#include <cstdint>

struct TSeedOrder {
    alignas(64) uint8_t Plane[256][256] = {};  // the working plane, no frame
    alignas(64) uint16_t Positions[254 * 254]; // y * 256 + x
    int32_t First[256] = {};                   // value v's positions: First[v] .. First[v + 1] - 1
    int32_t Count[256] = {}; // interior positions of each value 0..254; Count[255] is 0
    int32_t Filed = 0;       // interior positions below 255
    bool Sorted = false;     // Positions, First, Count and Filed belong to Plane
};

void PrepareSeedOrder(const TPlanes& planes, const TPassOptions& options, TSeedOrder& order);
