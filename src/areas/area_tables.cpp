#include "area_tables.h"

uint8_t WorkPlane[256][256];
int32_t LabelMap[256][256];
uint8_t Level = 0;
int32_t CurLabel = 0;
std::unique_ptr<TArea> Areas[MaxAreaIndex + 1];
int32_t AreaCount = -1;
double LevelScores[256];
bool PassRunning = false;
