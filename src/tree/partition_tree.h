// The partition tree: a fixed region quadtree over the 256 x 256 picture whose
// leaves are 4 x 4-pixel cells. Every kept area is entered with RegisterArea:
// its label is written into the cells its runs touch, lifted to the largest
// blocks whose four quadrants all carry it, and the area is appended to the
// list of every node that then carries the label.
//
// The tree knows an area record only by its address, its label and its runs.
// Each analysis owns a tree of its own (TPartitionTree); node labels persist
// from pass to pass and are part of its state.
#pragma once

#include "line_seg.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

struct TArea;

// Slots 0 to 30 hold area records. A node's buckets form a ring: the last
// bucket's `next` is the first, so that the node needs to hold only the last.
struct TPartBucket {
    TArea* items[31];
    TPartBucket* next;
};

// One cache line per node, the lists apart: the whole tree (350 KB) stays in
// the second-level cache while areas are entered.
struct alignas(64) TPartNode {
    TPartNode* children[4]; // quadrants: (low x, low y), (low x, high y), (high x, low y), (high x,
                            // high y); null for a cell
    int32_t label;          // 0: no area
    int32_t count;          // items in the list
    TPartBucket* lastBucket; // null while the list is empty

    // Bookkeeping of RegisterArea, so that it can skip the subtrees that hold
    // no node with the registered label.
    TPartNode* parent;  // null for the root
    uint32_t hotStamp;  // last registration whose label it or a node below carried
    uint32_t seenStamp; // registration that last listed the node as a holder
};
static_assert(sizeof(TPartNode) == 64);

constexpr int PartNodeCount = 5461;

struct TPartitionTree {
    TPartNode* Root = nullptr;
    TPartNode* Cells[64][64] = {};        // [cell column][cell row]
    std::vector<TPartNode*> Nodes;        // every node, in the order of creation
    std::unique_ptr<TPartNode[]> Storage; // the nodes, in that order, in one block

    // For every label, nodes that carry or carried it; RegisterArea drops the
    // entries that no longer carry it. Every node carrying a label is listed.
    std::unordered_map<int32_t, std::vector<TPartNode*>> LabelHolders;
    uint32_t Registration = 0; // stamp of the RegisterArea call in progress
    // The nodes whose lists are not empty, so that clearing the lists of a
    // pass touches those only.
    std::vector<TPartNode*> Listed;
    // Buckets come from blocks the tree keeps until it goes; emptied lists
    // give theirs back to the spare ring.
    std::vector<std::unique_ptr<TPartBucket[]>> BucketBlocks;
    TPartBucket* Spare = nullptr; // a ring of unused buckets, or null

    TPartitionTree(); // builds the whole tree, every label 0
    ~TPartitionTree();
    TPartitionTree(const TPartitionTree&) = delete;
    TPartitionTree& operator=(const TPartitionTree&) = delete;
};

// Enters an area with the given label and runs (entries 0 to s): marks the
// cells under the runs (each run's len + 1 columns), merges the label up the
// tree and appends the area to the list of every node that then carries it.
// With no area, the labels are entered and no list changes: what a pass
// whose lists the next pass clears unread leaves in the tree.
// Node labels must only be written here (or cleared with ResetTree):
// RegisterArea keeps an index of the nodes that carry each label.
void RegisterArea(TPartitionTree& tree, TArea* area, int32_t label, const TLineSeg* runs,
                  int32_t s);

// Number of items in a node's list.
int32_t PartListLength(const TPartNode& node);

// Empties every node's list (labels stay): used when the records listed are
// released.
void ClearPartLists(TPartitionTree& tree);

// Empties every list and sets every label back to 0, as a new tree has it.
void ResetTree(TPartitionTree& tree);
