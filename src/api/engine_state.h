// State kept by the exported functions between calls.
#pragma once
#include <atomic>
#include <cstdint>
#include "platform/platform.h"

struct Position;

constexpr int PositionLineSize = 5000;
constexpr int GoParametersSize = 200;
constexpr int NextBestListSize = 504;
constexpr int LearningPathSize = 256;

extern Position* EnginePosition;               // the one search position
extern ThreadClock EngineThreadClock;          // CPU clock of the thread that ran KestraneInit
extern char PositionLine[PositionLineSize];    // the "position" command of the next search
extern char GoParameters[GoParametersSize];    // the limits part of the next "go"
extern char NextBestList[NextBestListSize];    // root moves as text, each after a blank
extern std::atomic<int32_t> NextBestFlag;
extern int32_t LineSentFlag;                   // a ReportLine call was made in this analysis
extern int32_t LastAnalysePondered;            // the previous KestraneAnalyse pondered
extern int32_t EngineInitialised;              // a KestraneInit succeeded and no quit since
extern char LearningFilePath[LearningPathSize];
