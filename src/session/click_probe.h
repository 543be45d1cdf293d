// The click probe: a press on the picture grows regions of similar colour and
// plane-0 value around one seed near the pointer (left button), ten seeds
// near it (middle) or ten anywhere (right), ring by ring, into plane 13.
//
// Reads: planes 0 and 1, the level-0 picture, the cost limit. Writes: plane
// 13 and the session's random generator.
#pragma once

#include "session.h"

enum class TProbeButton { Left, Middle, Right };

// The state of one seed, shared by the growth and its inner step.
struct TSeedState {
    int cx; // seed column
    int cy; // seed row
    int r;  // label 0..254
    int q;  // plane 0 at the seed
};

// Every seed of one press at (x, y) with the cost limit `limit`.
void PressProbe(TSession& s, TProbeButton button, int x, int y, int limit);

// Five repetitions of the rings 1 to 250 around the seed, in the eight runs
// of each ring in order, labelling a position with r when a 4-neighbour
// (clamped to the picture) holds r and the signed cost is below `limit`.
// Whether each pixel's cost is below the limit is looked up in a table made
// once per seed (the cost reads only planes 0 and 1 and the picture, which
// the growth never changes).
void GrowSeed(TPlanes& planes, const TSeedState& seed, int limit);
