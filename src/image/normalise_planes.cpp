#include "compute_planes.h"
void NormalisePlanes() {} // placeholder until the normalisation lands
