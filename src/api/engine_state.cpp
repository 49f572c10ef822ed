#include "api/engine_state.h"

Position* EnginePosition;
ThreadClock EngineThreadClock;
char PositionLine[PositionLineSize];
char GoParameters[GoParametersSize];
char NextBestList[NextBestListSize];
std::atomic<int32_t> NextBestFlag{0};
int32_t LineSentFlag;
int32_t LastAnalysePondered = 1;
int32_t EngineInitialised;
char LearningFilePath[LearningPathSize] = "kestrane.pl2";
