// State kept by the exported functions between calls.
#pragma once
#include <atomic>
#include <cstdint>

struct Position;

constexpr int PositionLineSize = 5000;
constexpr int GoParametersSize = 200;
constexpr int NextBestListSize = 504;
constexpr int LearningPathSize = 256;

extern Position* EnginePosition;               // the one search position
extern char NextBestList[NextBestListSize];    // root moves as text, each after a blank
extern std::atomic<int32_t> NextBestFlag;
extern int32_t LineSentFlag;                   // a ReportLine call was made in this analysis
extern char LearningFilePath[LearningPathSize];
