// The plain twin of the partition tree: a tree of its own, walked whole for
// every area (merging and collecting visit every node), each list a vector.
#pragma once

#include "tree/line_seg.h"

#include <cstdint>
#include <vector>

struct TArea;

namespace plain_tree {

struct TPlainTree {
    struct TNode {
        int children[4] = {-1, -1, -1, -1};
        int32_t label = 0;
        std::vector<TArea*> list;
    };
    std::vector<TNode> nodes;
    int cells[64][64] = {};

    TPlainTree() { Build(32, 63, 63); }
    int Build(int half, int hx, int hy) {
        const int id = int(nodes.size());
        nodes.emplace_back();
        if (half == 0) {
            cells[hx][hy] = id;
            return id;
        }
        const int c0 = Build(half / 2, hx - half, hy - half);
        const int c1 = Build(half / 2, hx - half, hy);
        const int c2 = Build(half / 2, hx, hy - half);
        const int c3 = Build(half / 2, hx, hy);
        nodes[size_t(id)].children[0] = c0;
        nodes[size_t(id)].children[1] = c1;
        nodes[size_t(id)].children[2] = c2;
        nodes[size_t(id)].children[3] = c3;
        return id;
    }
    void Merge(int id, int32_t label) {
        TNode& n = nodes[size_t(id)];
        if (n.children[0] < 0) return;
        for (int c : n.children) Merge(c, label);
        for (int c : n.children)
            if (nodes[size_t(c)].label != label) return;
        for (int c : n.children) nodes[size_t(c)].label = 0;
        nodes[size_t(id)].label = label;
    }
    void Collect(int id, int32_t label, TArea* area) {
        if (nodes[size_t(id)].children[0] >= 0)
            for (int c : nodes[size_t(id)].children) Collect(c, label, area);
        if (nodes[size_t(id)].label == label) nodes[size_t(id)].list.push_back(area);
    }
    void Register(TArea* area, int32_t label, const std::vector<TLineSeg>& runs) {
        for (const TLineSeg& r : runs)
            for (int j = r.x; j <= r.x + r.len; ++j)
                nodes[size_t(cells[j / 4][r.y / 4])].label = label;
        Merge(0, label);
        if (area) Collect(0, label, area);
    }
    void Clear() {
        for (TNode& n : nodes) n.list.clear();
    }
};

} // namespace plain_tree
