// The growth of one click-probe seed, ring by ring, into LabelPlane (plane 13).
#pragma once

#include <cstdint>

// The state of one seed, shared by the growth and its inner step.
struct TSeedState {
    int cx; // seed column
    int cy; // seed row
    int r;  // label 0..254
    int q;  // plane 0 at the seed
};

// The inner step: labels (px, py) with r when a 4-neighbour (clamped to the
// picture) holds r and the signed cost is below `limit`.
void TryJoin(const TSeedState& s, int limit, int px, int py);

// Five repetitions of the rings 1 to 250 around the seed, calling TryJoin for
// every position of the eight runs of each ring in order. The fast path looks
// up whether each pixel's cost is below the limit in a table made once per
// seed (the cost reads only planes 0 and 1 and the picture, which the growth
// never changes), and gives the same labels in the same sequence.
void GrowSeed(const TSeedState& s, int limit, bool fast = true);
