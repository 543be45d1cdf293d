#include "compute_planes.h"
void ComputeNoisePlanes() {} // placeholder until the noise planes land
