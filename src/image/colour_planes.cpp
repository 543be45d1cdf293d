#include "compute_planes.h"
void ComputeColourPlanes() {} // placeholder until the colour planes land
