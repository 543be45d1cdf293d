// The partition tree.
//
// Reads: an area's address, label and runs, given to RegisterArea.
// Writes: node labels and node lists (rings of buckets of 31 area addresses,
// taken from and given back to the tree's spare ring); the nodes themselves
// once, when the tree is made.
// Leaves for the next step: every node carrying the registered label lists the
// area, leaves before their ancestors. The tree never owns the records:
// ClearPartLists empties the lists before their records are freed.
#include "partition_tree.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <memory>
#include <unordered_map>
#include <utility>

namespace {

constexpr int32_t BucketItems = 31;

// Sets a label; a node taking a new non-zero label is listed among its
// holders (`holders`: LabelHolders of that label).
void SetLabel(TPartNode* node, int32_t label, std::vector<TPartNode*>& holders) {
    if (node->label == label) return;
    node->label = label;
    if (label != 0) holders.push_back(node);
}

constexpr int32_t BlockBuckets = 64;

TPartBucket* TakeBucket(TPartitionTree& tree) {
    if (!tree.Spare) {
        auto block = std::make_unique_for_overwrite<TPartBucket[]>(BlockBuckets);
        for (int32_t i = 0; i < BlockBuckets; ++i) block[i].next = &block[(i + 1) % BlockBuckets];
        tree.Spare = &block[0];
        tree.BucketBlocks.push_back(std::move(block));
    }
    TPartBucket* b = tree.Spare->next;
    if (b == tree.Spare)
        tree.Spare = nullptr; // the last spare one
    else
        tree.Spare->next = b->next;
    return b;
}

void Append(TPartitionTree& tree, TPartNode* node, TArea* area) {
    const int32_t slot = node->count % BucketItems;
    if (node->count == 0) {
        tree.Listed.push_back(node); // its list was empty
        TPartBucket* fresh = TakeBucket(tree);
        fresh->next = fresh;
        node->lastBucket = fresh;
    } else if (slot == 0) {
        TPartBucket* fresh = TakeBucket(tree);
        fresh->next = node->lastBucket->next; // the first
        node->lastBucket->next = fresh;
        node->lastBucket = fresh;
    }
    node->lastBucket->items[slot] = area;
    ++node->count;
}

// With `hotOnly`, a node whose hotStamp is not the current registration has
// no node with the label at or below it and is skipped with its subtree.
bool Skip(const TPartNode* node, uint32_t stamp, bool hotOnly) {
    return hotOnly && node->hotStamp != stamp;
}

// Children before parents: a node takes the label when all four of its
// children carry it, and they give it up. A child's label is settled once its
// parent has chosen, so then, with an area, the children still carrying the
// label list it: one walk both merges and collects (the lists are apart, so
// the order in which nodes are listed does not matter).
void MergeLabels(TPartitionTree& tree, TPartNode* node, int32_t half, int32_t label, bool hotOnly,
                 std::vector<TPartNode*>& holders, TArea* area) {
    if (half == 0) return;
    for (TPartNode* child : node->children)
        if (!Skip(child, tree.Registration, hotOnly))
            MergeLabels(tree, child, half / 2, label, hotOnly, holders, area);
    bool all = true;
    for (const TPartNode* child : node->children) all &= child->label == label;
    if (all) {
        for (TPartNode* child : node->children) child->label = 0;
        SetLabel(node, label, holders);
    }
    // Label 0 stays with children that gave a label up.
    if (area)
        for (TPartNode* child : node->children)
            if (child->label == label) Append(tree, child, area);
}

// Marks every node with a holder of the label at or below it as hot, and drops
// the holders that gave the label up (and repeated entries).
void MarkHotPaths(TPartitionTree& tree, std::vector<TPartNode*>& holders, int32_t label) {
    const uint32_t stamp = tree.Registration;
    std::size_t kept = 0;
    for (TPartNode* node : holders) {
        if (node->label != label || node->seenStamp == stamp) continue;
        node->seenStamp = stamp;
        holders[kept++] = node;
        for (TPartNode* n = node; n && n->hotStamp != stamp; n = n->parent) n->hotStamp = stamp;
    }
    holders.resize(kept);
}

void BuildNode(TPartitionTree& tree, TPartNode*& slot, TPartNode* parent, int32_t half, int32_t hx,
               int32_t hy) {
    TPartNode* node = &tree.Storage[tree.Nodes.size()];
    node->label = 0;
    node->count = 0;
    node->lastBucket = nullptr;
    node->parent = parent;
    node->hotStamp = node->seenStamp = 0;
    slot = node;
    tree.Nodes.push_back(node);
    if (half == 0) {
        for (TPartNode*& child : node->children) child = nullptr;
        tree.Cells[hx][hy] = node;
        return;
    }
    // The child's block is `half` cells wide, aligned to its own width.
    const int32_t h = half / 2;
    BuildNode(tree, node->children[0], node, h, hx - half, hy - half);
    BuildNode(tree, node->children[1], node, h, hx - half, hy);
    BuildNode(tree, node->children[2], node, h, hx, hy - half);
    BuildNode(tree, node->children[3], node, h, hx, hy);
}

// Empties a node's list, its ring of buckets joining the spare ring.
void EmptyList(TPartitionTree& tree, TPartNode* node) {
    TPartBucket* last = node->lastBucket;
    if (!last) return;
    if (tree.Spare)
        std::swap(tree.Spare->next, last->next); // two rings made one
    else
        tree.Spare = last;
    node->lastBucket = nullptr;
    node->count = 0;
}

} // namespace

TPartitionTree::TPartitionTree()
    : Storage(std::make_unique_for_overwrite<TPartNode[]>(PartNodeCount)) {
    Nodes.reserve(PartNodeCount);
    BuildNode(*this, Root, nullptr, 32, 63, 63);
    assert(Nodes.size() == std::size_t(PartNodeCount));
}

TPartitionTree::~TPartitionTree() = default; // the buckets go with their blocks

void RegisterArea(TPartitionTree& tree, TArea* area, int32_t label, const TLineSeg* runs,
                  int32_t s) {
    if (++tree.Registration == 0) { // stamps wrapped: none may look current
        for (TPartNode* n : tree.Nodes) n->hotStamp = n->seenStamp = 0;
        tree.Registration = 1;
    }
    std::vector<TPartNode*>& holders = tree.LabelHolders[label];
    // Each run marks its len pixels and the one just right of it: every cell
    // of the columns x .. x + len of its row. The cells are gathered first,
    // one bit per cell of each cell row, so that each is labelled once
    // however many of its four pixel rows the runs cross; the order in which
    // cells take the label does not matter.
    uint64_t cellRows[64] = {};
    int32_t top = 64, bottom = -1;
    for (int32_t i = 0; i <= s; ++i) {
        const TLineSeg& run = runs[i];
        assert(run.x + run.len <= 255);
        const int32_t end = run.x + run.len <= 255 ? run.x + run.len : 255;
        const int32_t cy = run.y / 4;
        cellRows[cy] |= (~uint64_t(0) >> (63 - end / 4)) & (~uint64_t(0) << (run.x / 4));
        top = std::min(top, cy);
        bottom = std::max(bottom, cy);
    }
    for (int32_t cy = top; cy <= bottom; ++cy)
        for (uint64_t bits = cellRows[cy]; bits != 0; bits &= bits - 1)
            SetLabel(tree.Cells[std::countr_zero(bits)][cy], label, holders);
    // Label 0 is carried by nearly every node; only the whole walk pays there.
    const bool hotOnly = label != 0;
    if (hotOnly) {
        MarkHotPaths(tree, holders, label);
        if (tree.Root->hotStamp != tree.Registration) return; // no node carries it
    }
    MergeLabels(tree, tree.Root, 32, label, hotOnly, holders, area);
    if (area && tree.Root->label == label) Append(tree, tree.Root, area);
}

int32_t PartListLength(const TPartNode& node) {
    return node.count;
}

void ClearPartLists(TPartitionTree& tree) {
    for (TPartNode* node : tree.Listed) EmptyList(tree, node);
    tree.Listed.clear();
}

void ResetTree(TPartitionTree& tree) {
    ClearPartLists(tree);
    for (TPartNode* node : tree.Nodes) node->label = 0;
    tree.LabelHolders.clear();
}
