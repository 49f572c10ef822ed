#include "api/engine_state.h"

ThreadClock EngineThreadClock;
char PositionLine[PositionLineSize];
char GoParameters[GoParametersSize];
char NextBestList[NextBestListSize];
int32_t LastAnalysePondered = 1;
int32_t EngineInitialised;
