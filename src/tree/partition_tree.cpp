// The partition tree.
//
// Reads: an area's address, label and runs, given to RegisterArea.
// Writes: node labels and node lists (buckets of 31 area addresses, the first
// held inside the node); the nodes themselves once, when the tree is made.
// Leaves for the next step: every node carrying the registered label lists the
// area, leaves before their ancestors. The tree never owns the records:
// ClearPartLists empties the lists before their records are freed.
#include "partition_tree.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <unordered_map>

namespace {

constexpr int32_t BucketItems = 31;

// Sets a label; a node taking a new non-zero label is listed among its
// holders (`holders`: LabelHolders of that label).
void SetLabel(TPartNode* node, int32_t label, std::vector<TPartNode*>& holders) {
    if (node->label == label) return;
    node->label = label;
    if (label != 0) holders.push_back(node);
}

void Append(TPartitionTree& tree, TPartNode* node, TArea* area) {
    if (node->lastCount == 0 && node->lastBucket == &node->firstBucket)
        tree.Listed.push_back(node); // its list was empty
    if (node->lastCount >= BucketItems) {
        TPartBucket* fresh = new TPartBucket;
        fresh->items[0] = nullptr;
        fresh->next = nullptr;
        node->lastBucket->next = fresh;
        node->lastBucket = fresh;
        node->lastCount = 0;
    }
    node->lastBucket->items[node->lastCount++] = area;
}

// With `hotOnly`, a node whose hotStamp is not the current registration has
// no node with the label at or below it and is skipped with its subtree.
bool Skip(const TPartNode* node, uint32_t stamp, bool hotOnly) {
    return hotOnly && node->hotStamp != stamp;
}

// Children before parents: a node takes the label when all four of its
// children carry it, and they give it up.
void MergeLabels(TPartitionTree& tree, TPartNode* node, int32_t half, int32_t label, bool hotOnly,
                 std::vector<TPartNode*>& holders) {
    if (half == 0) return;
    for (TPartNode* child : node->children)
        if (!Skip(child, tree.Registration, hotOnly))
            MergeLabels(tree, child, half / 2, label, hotOnly, holders);
    for (const TPartNode* child : node->children)
        if (child->label != label) return;
    for (TPartNode* child : node->children) child->label = 0;
    SetLabel(node, label, holders);
}

// Children before parents: every node carrying the label lists the area.
void CollectArea(TPartitionTree& tree, TPartNode* node, int32_t half, int32_t label, TArea* area,
                 bool hotOnly) {
    if (half > 0)
        for (TPartNode* child : node->children)
            if (!Skip(child, tree.Registration, hotOnly))
                CollectArea(tree, child, half / 2, label, area, hotOnly);
    if (node->label == label) Append(tree, node, area);
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
    node->lastBucket = &node->firstBucket;
    node->lastCount = 0;
    node->firstBucket.items[0] = nullptr;
    node->firstBucket.next = nullptr;
    node->parent = parent;
    slot = node;
    tree.Nodes.push_back(node);
    if (half == 0) {
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

// Frees the buckets beyond a node's first and empties its list.
void EmptyList(TPartNode* node) {
    for (TPartBucket* b = node->firstBucket.next; b;) {
        TPartBucket* next = b->next;
        delete b;
        b = next;
    }
    node->firstBucket.items[0] = nullptr;
    node->firstBucket.next = nullptr;
    node->lastBucket = &node->firstBucket;
    node->lastCount = 0;
}

} // namespace

TPartitionTree::TPartitionTree() : Storage(std::make_unique<TPartNode[]>(PartNodeCount)) {
    Nodes.reserve(PartNodeCount);
    BuildNode(*this, Root, nullptr, 32, 63, 63);
    assert(Nodes.size() == std::size_t(PartNodeCount));
}

TPartitionTree::~TPartitionTree() {
    for (TPartNode* node : Nodes) EmptyList(node);
}

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
    const bool hotOnly = !tree.PlainWalk && label != 0;
    if (hotOnly) {
        MarkHotPaths(tree, holders, label);
        if (tree.Root->hotStamp != tree.Registration) return; // no node carries it
    }
    MergeLabels(tree, tree.Root, 32, label, hotOnly, holders);
    if (area) CollectArea(tree, tree.Root, 32, label, area, hotOnly);
}

int32_t PartListLength(const TPartNode& node) {
    int32_t n = 0;
    for (const TPartBucket* b = &node.firstBucket; b != node.lastBucket; b = b->next)
        n += BucketItems;
    return n + node.lastCount;
}

void ClearPartLists(TPartitionTree& tree) {
    for (TPartNode* node : tree.Listed) EmptyList(node);
    tree.Listed.clear();
}

void ResetTree(TPartitionTree& tree) {
    ClearPartLists(tree);
    for (TPartNode* node : tree.Nodes) node->label = 0;
    tree.LabelHolders.clear();
}
