// The partition tree: a fixed region quadtree over the 256 x 256 picture whose
// leaves are 4 x 4-pixel cells. Every kept area is entered with RegisterArea:
// its label is written into the cells its runs touch, lifted to the largest
// blocks whose four quadrants all carry it, and the area is appended to the
// list of every node that then carries the label.
//
// The tree knows an area record only by its address, its label and its runs.
#pragma once

#include "line_seg.h"

#include <cstdint>
#include <vector>

struct TArea;

// Slots 0 to 30 hold area records; `next` links the following bucket.
struct TPartBucket {
    TArea* items[31];
    TPartBucket* next;
};

struct TPartNode {
    TPartNode* children[4]; // quadrants: (low x, low y), (low x, high y), (high x, low y), (high x,
                            // high y)
    int32_t label;          // 0: no area
    TPartBucket* lastBucket;
    int32_t lastCount; // items in lastBucket
    TPartBucket firstBucket;

    // Bookkeeping of RegisterArea, so that it can skip the subtrees that hold
    // no node with the registered label.
    TPartNode* parent;  // null for the root
    uint32_t hotStamp;  // last registration whose label it or a node below carried
    uint32_t seenStamp; // registration that last listed the node as a holder
};

constexpr int PartNodeCount = 5461;

extern TPartNode* PartRoot;
extern TPartNode* PartCells[64][64];      // [cell column][cell row]
extern std::vector<TPartNode*> PartNodes; // every node, in the order of creation

// Creates a node and its subtree; `half` is half the block width in cells
// (0 for a leaf), (hx, hy) the block's last cell.
void BuildPartNode(TPartNode*& slot, int32_t half, int32_t hx, int32_t hy);

// Builds the whole tree once at start-up.
void BuildPartitionTree();

// Enters an area with the given label and runs (entries 0 to s): marks the
// cells under the runs (each run's len + 1 columns), merges the label up the
// tree and appends the area to the list of every node that then carries it.
// Node labels must only be written here (or cleared to 0): RegisterArea keeps
// an index of the nodes that carry each label.
void RegisterArea(TArea* area, int32_t label, const TLineSeg* runs, int32_t s);

// When true, RegisterArea merges and collects over the whole tree for every
// area, as the plain form does; kept so the benchmark can time both.
extern bool PartPlainWalk;

// Number of items in a node's list.
int32_t PartListLength(const TPartNode& node);

// Empties every node's list (labels stay) and frees the buckets beyond the
// first: used when the records listed are released.
void ClearPartLists();
