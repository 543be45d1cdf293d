#include "partition_tree.h"
// placeholder until the partition tree lands
TPartNode* PartRoot = nullptr;
TPartNode* PartCells[64][64];
std::vector<TPartNode*> PartNodes;
void BuildPartNode(TPartNode*&, int32_t, int32_t, int32_t) {}
void BuildPartitionTree() {}
void RegisterArea(TArea*, int32_t, const TLineSeg*, int32_t) {}
int32_t PartListLength(const TPartNode&) {
    return 0;
}
void ClearPartLists() {}
