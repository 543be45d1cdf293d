#include "compute_planes.h"
void ComputeBorderPlanes() {} // placeholder until the border planes land
