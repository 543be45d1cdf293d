#include "fill.h"
// placeholder until the region fill lands
TLines Lines;
int32_t AreaPixels = 0;
double SizeSum = 0;
double SizeMax = 0;
TRejectedArea RejectedAreas[10001];
int32_t RejectedLast = -1;
bool FillArea(int32_t, int32_t, int32_t) {
    return false;
}
