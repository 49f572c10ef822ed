// State kept by the exported functions between calls.
#pragma once
#include <cstdint>
#include "platform/platform.h"

constexpr int PositionLineSize = 5000;
constexpr int GoParametersSize = 200;
constexpr int NextBestListSize = 504;

extern ThreadClock EngineThreadClock;          // CPU clock of the thread that ran KestraneInit
extern char PositionLine[PositionLineSize];    // the "position" command of the next search
extern char GoParameters[GoParametersSize];    // the limits part of the next "go"
extern char NextBestList[NextBestListSize];    // root moves as text, each after a blank
extern int32_t LastAnalysePondered;            // the previous KestraneAnalyse pondered
extern int32_t EngineInitialised;              // a KestraneInit succeeded and no quit since
