#include "area_pass.h"
void FindAreas(int32_t) {} // placeholder until the area pass lands
