#include "startup.h"

#include "../image/plane_store.h"
#include "../tree/partition_tree.h"

void StartUpSystem() {
    static bool done = false;
    if (done) return;
    done = true;
    BuildPartitionTree();
    InitPlaneStore();
}
