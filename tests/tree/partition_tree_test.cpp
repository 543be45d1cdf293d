// The partition tree: its shape, marking, merging and collecting, the bucket
// lists, and the subtree-skipping registration against a plain twin that
// walks the whole tree for every area.
#include "areas/area_tables.h"
#include "support/plain_tree.h"
#include "tree/partition_tree.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

// The list of a node, read from its ring of buckets: first bucket after
// the last, each full but the last.
std::vector<TArea*> List(const TPartNode& n) {
    std::vector<TArea*> items;
    if (!n.lastBucket) return items;
    const int buckets = (n.count + 30) / 31;
    const TPartBucket* b = n.lastBucket->next;
    for (int i = 0; i < buckets; ++i, b = b->next) {
        const int count = i + 1 < buckets ? 31 : n.count - 31 * i;
        items.insert(items.end(), b->items, b->items + count);
    }
    EXPECT_EQ(b, n.lastBucket->next) << "the ring closes after the last bucket";
    return items;
}

struct Tree : ::testing::Test {
    std::vector<TArea> records = std::vector<TArea>(100);
    TPartitionTree tree;
    TPartNode*& PartRoot = tree.Root;
    TPartNode* (&PartCells)[64][64] = tree.Cells;
    std::vector<TPartNode*>& PartNodes = tree.Nodes;
    void ClearPartLists() { ::ClearPartLists(tree); }
    void RegisterArea(TArea* area, int32_t label, const TLineSeg* runs, int32_t s) {
        ::RegisterArea(tree, area, label, runs, s);
    }
    // Registers records[i] with one run per row y0..y1 from x of len pixels.
    TArea* Block(int i, int32_t label, int x, int len, int y0, int y1) {
        std::vector<TLineSeg> runs;
        for (int y = y0; y <= y1; ++y) runs.push_back({uint8_t(x), uint8_t(y), uint8_t(len)});
        RegisterArea(&records[i], label, runs.data(), int32_t(runs.size()) - 1);
        return &records[i];
    }
    int Labelled() const {
        int n = 0;
        for (const TPartNode* node : PartNodes) n += node->label != 0;
        return n;
    }
};

TEST_F(Tree, HasItsFixedShapeAndCellTable) {
    ASSERT_EQ(PartNodes.size(), size_t(PartNodeCount));
    EXPECT_EQ(PartNodes[0], PartRoot);
    EXPECT_EQ(PartNodes[1], PartRoot->children[0]) << "each child built whole before the next";
    EXPECT_EQ(PartNodes[2], PartRoot->children[0]->children[0]);
    EXPECT_EQ(PartNodes[PartNodeCount - 1], PartCells[63][63]);
    std::set<const TPartNode*> leaves;
    for (int cx = 0; cx < 64; ++cx)
        for (int cy = 0; cy < 64; ++cy) {
            // Descend by quadrant: low/high column, then low/high row.
            const TPartNode* n = PartRoot;
            for (int width = 64; width > 1; width /= 2) {
                const int half = width / 2;
                const bool highX = cx % width >= half, highY = cy % width >= half;
                n = n->children[(highX ? 2 : 0) + (highY ? 1 : 0)];
            }
            ASSERT_EQ(PartCells[cx][cy], n) << cx << "," << cy;
            leaves.insert(n);
        }
    EXPECT_EQ(leaves.size(), 4096u);
    for (const TPartNode* n : PartNodes) {
        EXPECT_EQ(n->label, 0);
        EXPECT_EQ(PartListLength(*n), 0);
    }
}

TEST_F(Tree, RunMarksTheColumnJustRightOfIt) {
    TArea* a = Block(0, 20, 6, 2, 9, 9);
    EXPECT_EQ(PartCells[1][2]->label, 20);
    EXPECT_EQ(PartCells[2][2]->label, 20) << "column 8 belongs to the marking";
    EXPECT_EQ(Labelled(), 2);
    EXPECT_EQ(List(*PartCells[1][2]), std::vector<TArea*>{a});
    EXPECT_EQ(List(*PartCells[2][2]), std::vector<TArea*>{a});
}

TEST_F(Tree, FullBlockTakesTheLabelFromItsCells) {
    TArea* a = Block(0, 20, 8, 8, 8, 15);
    // Cells 2..3 x 2..3 form the block of width 2 below root, 0, 0, 0, 0.
    const TPartNode* block =
        PartRoot->children[0]->children[0]->children[0]->children[0]->children[3];
    EXPECT_EQ(block->label, 20);
    EXPECT_EQ(List(*block), std::vector<TArea*>{a});
    for (const TPartNode* leaf : block->children) {
        EXPECT_EQ(leaf->label, 0);
        EXPECT_EQ(PartListLength(*leaf), 0);
    }
    for (int cy : {2, 3}) {
        EXPECT_EQ(PartCells[4][cy]->label, 20);
        EXPECT_EQ(List(*PartCells[4][cy]), std::vector<TArea*>{a});
    }
    EXPECT_EQ(Labelled(), 3);
}

TEST_F(Tree, LabelOfAnEarlierPassTakesPartInMerging) {
    Block(0, 20, 8, 2, 8, 15);             // cells (2, 2..3), and column 10 in cell 2 again
    ClearPartLists();                      // next pass: lists emptied, labels kept
    TArea* b = Block(1, 20, 12, 3, 8, 15); // cells (3, 2..3), column 15 in cell 3
    const TPartNode* block =
        PartRoot->children[0]->children[0]->children[0]->children[0]->children[3];
    EXPECT_EQ(block->label, 20);
    EXPECT_EQ(List(*block), std::vector<TArea*>{b});
    EXPECT_EQ(Labelled(), 1);
}

TEST_F(Tree, RegistrationLeavesOtherLabelsAlone) {
    Block(0, 20, 40, 3, 40, 40);
    Block(1, 37, 100, 3, 100, 100);
    EXPECT_EQ(PartCells[10][10]->label, 20);
    EXPECT_EQ(PartCells[25][25]->label, 37);
    // A later area marking the same cell takes it over.
    Block(2, 54, 41, 1, 41, 41);
    EXPECT_EQ(PartCells[10][10]->label, 54);
}

TEST_F(Tree, ListsFillBucketsOf31InOrderAndClearKeepsLabels) {
    std::vector<TArea*> added;
    for (int i = 0; i < 63; ++i) added.push_back(Block(i, 20, 100, 1, 100, 100));
    const TPartNode& leaf = *PartCells[25][25];
    EXPECT_EQ(PartListLength(leaf), 63);
    EXPECT_EQ(List(leaf), added);
    ASSERT_NE(leaf.lastBucket, nullptr);
    const TPartBucket* first = leaf.lastBucket->next;
    EXPECT_EQ(first->items[0], added[0]);
    EXPECT_EQ(first->next->items[0], added[31]) << "the 32nd item opens a second bucket";
    EXPECT_EQ(first->next->next, leaf.lastBucket) << "the 63rd a third, the last";
    EXPECT_EQ(leaf.lastBucket->items[0], added[62]);

    ClearPartLists();
    EXPECT_EQ(PartListLength(leaf), 0);
    EXPECT_EQ(leaf.lastBucket, nullptr);
    EXPECT_EQ(leaf.label, 20);
    Block(0, 37, 100, 1, 100, 100);
    EXPECT_EQ(List(leaf), std::vector<TArea*>{&records[0]});
    // The buckets given back are taken again: 100 lists of 40 after clearing
    // lists of 63 come out whole and apart.
    ClearPartLists();
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 40; ++i)
            for (int c = 0; c < 100; ++c)
                Block(c, 20 + 17 * c, 4 * (c % 60) + 4, 0, 4 * (c / 60) + 8, 4 * (c / 60) + 8);
        for (int c = 0; c < 100; ++c) {
            const TPartNode& cell = *PartCells[c % 60 + 1][c / 60 + 2];
            ASSERT_EQ(List(cell), std::vector<TArea*>(40, &records[size_t(c)])) << c;
        }
        ClearPartLists();
    }
}

// Random areas: blocks of runs of random size (up to the last column), a few
// labels used over and over (as every pass numbers its areas alike), a third
// of them entered without a record (labels only, as a scored pass enters
// them), lists cleared now and then, which empties every list.
void RunAgainstTwin(uint32_t seed, bool withZero, std::vector<TArea>& records) {
    TPartitionTree tree;
    const auto& PartNodes = tree.Nodes;
    plain_tree::TPlainTree twin;
    std::mt19937 rng(seed);
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    int compared = 0, labelled = 0, inner = 0; // the most seen at a comparison
    for (int step = 0; step < 4000; ++step) {
        if (pick(0, 99) == 0) {
            ClearPartLists(tree);
            twin.Clear();
            for (const TPartNode* n : PartNodes) ASSERT_EQ(PartListLength(*n), 0);
        }
        const int32_t label = withZero && pick(0, 7) == 0 ? 0 : 20 + 17 * pick(0, 12);
        std::vector<TLineSeg> runs;
        int x = pick(1, 250), y = pick(1, 250);
        int w = pick(0, std::min(254 - x, pick(0, 1) ? 8 : 90));
        int h = pick(1, std::min(254 - y, pick(0, 1) ? 8 : 90));
        switch (withZero ? pick(0, 19) : 19) {
        case 0: // one row across the picture, up to the frame
            x = 1, w = 254, h = 1;
            break;
        case 1: // one column down it
            w = 0, y = 1, h = 254;
            break;
        case 2: // the whole interior
            x = y = 1, w = 253, h = 254;
            break;
        default:
            break;
        }
        for (int r = y; r < y + h; ++r) {
            const int dx = pick(0, 3), len = std::max(0, w - pick(0, 3));
            runs.push_back({uint8_t(std::min(x + dx, 254)), uint8_t(r),
                            uint8_t(std::min(len, 255 - std::min(x + dx, 254)))});
        }
        TArea* area = pick(0, 2) == 0 ? nullptr : &records[size_t(step) % records.size()];
        RegisterArea(tree, area, label, runs.data(), int32_t(runs.size()) - 1);
        twin.Register(area, label, runs);
        if (step % 40 != 39) continue;
        ++compared;
        int nowLabelled = 0, nowInner = 0;
        for (size_t n = 0; n < twin.nodes.size(); ++n) {
            nowLabelled += twin.nodes[n].label != 0;
            nowInner += twin.nodes[n].label != 0 && twin.nodes[n].children[0] >= 0;
        }
        labelled = std::max(labelled, nowLabelled);
        inner = std::max(inner, nowInner);
        for (size_t n = 0; n < PartNodes.size(); ++n) {
            ASSERT_EQ(PartNodes[n]->label, twin.nodes[n].label) << "node " << n << " step " << step;
            ASSERT_EQ(List(*PartNodes[n]), twin.nodes[n].list) << "node " << n << " step " << step;
        }
    }
    EXPECT_EQ(compared, 100);
    EXPECT_GT(labelled, 500) << "the random areas cover much of the tree";
    EXPECT_GT(inner, 50) << "and merge into many inner nodes";
}

TEST_F(Tree, SkippingSubtreesGivesTheSameLabelsAndListsAsTheWholeWalk) {
    RunAgainstTwin(7, false, records);
}

// Label 0 (the whole walk), rows and columns across the picture and the
// whole interior among the random areas.
TEST_F(Tree, LabelZeroAndAreasAcrossThePictureMatchThePlainTwin) {
    RunAgainstTwin(11, true, records);
}

} // namespace
