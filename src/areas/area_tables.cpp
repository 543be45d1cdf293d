#include "area_tables.h"

TAreaState::~TAreaState() {
    ReleaseBuckets(*this);
}
